#include "settings/FontRecord.h"

#include <QFontInfo>

#include <algorithm>
#include <cmath>

namespace {

constexpr double PixelsPerPoint = 96.0 / 72.0;
// A hand-edited record can hold any height; rendering a font a million
// pixels high would exhaust memory, so sizes are kept within this range.
constexpr int MaxPixelHeight = 1000;
constexpr int DefaultPointSize = 10;
constexpr std::uint8_t AnsiCharSet = 0;
constexpr std::uint8_t DefaultQuality = 0;
constexpr std::uint8_t NonAntialiasedQuality = 3;
constexpr std::uint8_t AntialiasedQuality = 4;

std::uint8_t familyBits(const QFont& font, bool fixedPitch)
{
    if (fixedPitch)
        return LogFontRecord::FamilyModern;
    switch (font.styleHint()) {
    case QFont::Serif:
        return LogFontRecord::FamilyRoman;
    case QFont::SansSerif:
        return LogFontRecord::FamilySwiss;
    case QFont::TypeWriter:
    case QFont::Monospace:
        return LogFontRecord::FamilyModern;
    case QFont::Cursive:
        return LogFontRecord::FamilyScript;
    case QFont::Decorative:
    case QFont::Fantasy:
        return LogFontRecord::FamilyDecorative;
    default:
        return LogFontRecord::FamilyDontCare;
    }
}

QFont::StyleHint styleHint(std::uint8_t pitchAndFamily)
{
    if ((pitchAndFamily & LogFontRecord::PitchMask) == LogFontRecord::FixedPitch)
        return QFont::TypeWriter;
    switch (pitchAndFamily & LogFontRecord::FamilyMask) {
    case LogFontRecord::FamilyRoman:
        return QFont::Serif;
    case LogFontRecord::FamilySwiss:
        return QFont::SansSerif;
    case LogFontRecord::FamilyModern:
        return QFont::TypeWriter;
    case LogFontRecord::FamilyScript:
        return QFont::Cursive;
    case LogFontRecord::FamilyDecorative:
        return QFont::Decorative;
    default:
        return QFont::AnyStyle;
    }
}

} // namespace

LogFontRecord fontRecordFromFont(const QFont& font)
{
    LogFontRecord record;
    double pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * PixelsPerPoint;
    if (pixels <= 0)
        pixels = DefaultPointSize * PixelsPerPoint;
    record.height = -std::clamp(int(std::lround(pixels)), 1, MaxPixelHeight);
    record.weight = std::clamp(int(font.weight()), 1, 1000);
    record.italic = font.italic() ? 1 : 0;
    record.underline = font.underline() ? 1 : 0;
    record.strikeOut = font.strikeOut() ? 1 : 0;
    record.charSet = AnsiCharSet;
    switch (font.styleStrategy() & (QFont::NoAntialias | QFont::PreferAntialias)) {
    case QFont::NoAntialias:
        record.quality = NonAntialiasedQuality;
        break;
    case QFont::PreferAntialias:
        record.quality = AntialiasedQuality;
        break;
    default:
        record.quality = DefaultQuality;
        break;
    }
    const bool fixedPitch = font.fixedPitch() || QFontInfo(font).fixedPitch();
    record.pitchAndFamily =
        (fixedPitch ? LogFontRecord::FixedPitch : LogFontRecord::VariablePitch) |
        familyBits(font, fixedPitch);
    record.setFaceName(font.family().toLatin1());
    return record;
}

QFont fontFromFontRecord(const LogFontRecord& record)
{
    QFont font;
    const QByteArray face = record.faceNameBytes();
    if (!face.isEmpty())
        font.setFamily(QString::fromLatin1(face));
    // Negative: the character height; positive: the cell height, which is
    // close enough to treat the same way; zero: the default size.
    const long long pixels = std::llabs(static_cast<long long>(record.height));
    if (pixels == 0)
        font.setPointSize(DefaultPointSize);
    else
        font.setPointSizeF(std::min<long long>(pixels, MaxPixelHeight) / PixelsPerPoint);
    if (record.weight > 0)
        font.setWeight(QFont::Weight(std::clamp<int>(record.weight, 1, 1000)));
    font.setItalic(record.italic != 0);
    font.setUnderline(record.underline != 0);
    font.setStrikeOut(record.strikeOut != 0);
    if (record.quality == NonAntialiasedQuality)
        font.setStyleStrategy(QFont::NoAntialias);
    else if (record.quality == AntialiasedQuality)
        font.setStyleStrategy(QFont::PreferAntialias);
    const QFont::StyleHint hint = styleHint(record.pitchAndFamily);
    font.setStyleHint(hint);
    if (hint == QFont::TypeWriter)
        font.setFixedPitch(true);
    return font;
}

QFont defaultSourceFont()
{
    QFont font(QStringLiteral("courier"));
    font.setPointSize(DefaultPointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}
