#include "settings/LogFontRecord.h"

#include "settings/SettingsProfile.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {
constexpr int FaceNameOffset = 28;
} // namespace

QByteArray LogFontRecord::faceNameBytes() const
{
    const auto end = std::find(faceName.begin(), faceName.end(), '\0');
    return QByteArray(faceName.data(), end - faceName.begin());
}

void LogFontRecord::setFaceName(QByteArrayView name)
{
    faceName.fill('\0');
    const qsizetype length = std::min<qsizetype>(name.size(), FaceNameSize - 1);
    std::copy_n(name.data(), length, faceName.begin());
}

QByteArray LogFontRecord::toBytes() const
{
    QByteArray bytes(Size, '\0');
    char* out = bytes.data();
    const std::int32_t ints[] = {height, width, escapement, orientation, weight};
    for (std::int32_t value : ints) {
        qToLittleEndian(value, out);
        out += 4;
    }
    const std::uint8_t flags[] = {italic,       underline,     strikeOut, charSet,
                                  outPrecision, clipPrecision, quality,   pitchAndFamily};
    for (std::uint8_t value : flags)
        *out++ = char(value);
    std::memcpy(out, faceName.data(), FaceNameSize);
    return bytes;
}

std::optional<LogFontRecord> LogFontRecord::fromBytes(QByteArrayView bytes)
{
    if (bytes.size() != Size)
        return std::nullopt;
    LogFontRecord record;
    const char* in = bytes.data();
    std::int32_t* ints[] = {&record.height, &record.width, &record.escapement, &record.orientation,
                            &record.weight};
    for (std::int32_t* value : ints) {
        *value = qFromLittleEndian<std::int32_t>(in);
        in += 4;
    }
    std::uint8_t* flags[] = {&record.italic,  &record.underline,     &record.strikeOut,
                             &record.charSet, &record.outPrecision,  &record.clipPrecision,
                             &record.quality, &record.pitchAndFamily};
    for (std::uint8_t* value : flags)
        *value = static_cast<std::uint8_t>(*in++);
    std::memcpy(record.faceName.data(), bytes.data() + FaceNameOffset, FaceNameSize);
    return record;
}

QByteArray LogFontRecord::toProfileValue() const
{
    return encodeProfileStruct(toBytes());
}

std::optional<LogFontRecord> LogFontRecord::fromProfileValue(QByteArrayView value)
{
    const std::optional<QByteArray> bytes = decodeProfileStruct(value, Size);
    if (!bytes)
        return std::nullopt;
    return fromBytes(*bytes);
}
