#include "project/ProjectFileCodec.h"

#include "framework/SafeSave.h"
#include "tools/PathBytes.h"


#include <cstdint>

namespace {

void appendInteger(QByteArray& bytes, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes.append(char((bits >> (8 * i)) & 0xff));
}

void appendString(QByteArray& bytes, const QString& text)
{
    // Every byte as it was read: a path is bytes, not text.
    const QByteArray data = PathToBytes(text);
    const auto length = static_cast<std::uint32_t>(data.size());
    if (length < 0xff) {
        bytes.append(char(length));
    } else {
        bytes.append(char(0xff));
        const std::uint32_t shortLength = length < 0xfffe ? length : 0xffff;
        bytes.append(char(shortLength & 0xff));
        bytes.append(char(shortLength >> 8));
        if (shortLength == 0xffff)
            appendInteger(bytes, static_cast<std::int32_t>(length));
    }
    bytes.append(data);
}

// Reads the fields one after another; the first shortfall or bad count
// stops it and leaves the reason in error.
class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}

    bool failed() const { return !m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    qsizetype remaining() const { return m_bytes.size() - m_pos; }

    std::uint32_t unsignedValue(int width)
    {
        if (failed())
            return 0;
        if (remaining() < width) {
            fail(QStringLiteral("it ends at byte %1, before all its fields.").arg(m_bytes.size()));
            return 0;
        }
        std::uint32_t value = 0;
        for (int i = 0; i < width; ++i)
            value |= std::uint32_t(static_cast<unsigned char>(m_bytes[m_pos + i])) << (8 * i);
        m_pos += width;
        return value;
    }

    std::int32_t integer() { return static_cast<std::int32_t>(unsignedValue(4)); }

    std::int32_t count(const char* what)
    {
        const std::int32_t value = integer();
        if (!failed() && (value < 0 || value > kProjectListCapacity))
            fail(QStringLiteral("it announces %1 %2; a project holds 0 to %3.")
                     .arg(value)
                     .arg(QLatin1String(what))
                     .arg(kProjectListCapacity));
        return value;
    }

    QString string()
    {
        std::uint32_t length = unsignedValue(1);
        if (length == 0xff) {
            length = unsignedValue(2);
            if (length == 0xffff)
                length = unsignedValue(4);
        }
        if (failed())
            return {};
        // Checked before anything is allocated: a length past the end
        // rejects the file.
        if (length > static_cast<std::uint64_t>(remaining())) {
            fail(QStringLiteral("a text of %1 bytes at byte %2 runs past its end.")
                     .arg(length)
                     .arg(m_pos));
            return {};
        }
        const QByteArrayView data = m_bytes.sliced(m_pos, qsizetype(length));
        m_pos += qsizetype(length);
        return PathFromBytes(data);
    }

private:
    void fail(const QString& reason)
    {
        if (m_error.isEmpty())
            m_error = reason;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    QString m_error;
};

QString notValid(const QString& reason)
{
    return QStringLiteral("It is not a valid project file: %1").arg(reason);
}

} // namespace

ProjectFile NewProjectFile(int debugInfo)
{
    ProjectFile project;
    project.options.debugInfo = debugInfo;
    return project;
}

QByteArray EncodeProjectFile(const ProjectFile& project)
{
    const CompileOptions& o = project.options;
    QByteArray bytes;
    bytes.reserve(46 + 64 * (project.sources.size() + project.libraries.size()));
    for (std::int32_t value : {std::int32_t(project.sources.size()),
                               std::int32_t(project.libraries.size()), o.ansi, o.preprocessOnly,
                               o.debugInfo, o.language, o.noAsm, o.optimizeLevel})
        appendInteger(bytes, value);
    appendString(bytes, o.otherOptions);
    for (std::int32_t value : {o.noAssemble, o.traditional, o.warningLevel})
        appendInteger(bytes, value);
    appendString(bytes, project.outputName);
    for (const QString& source : project.sources)
        appendString(bytes, source);
    for (const QString& library : project.libraries)
        appendString(bytes, library);
    return bytes;
}

std::optional<ProjectFile> DecodeProjectFile(QByteArrayView bytes, QString* error)
{
    Reader in(bytes);
    ProjectFile project;
    CompileOptions& o = project.options;
    const std::int32_t sourceCount = in.count("sources");
    const std::int32_t libraryCount = in.count("libraries");
    o.ansi = in.integer();
    o.preprocessOnly = in.integer();
    o.debugInfo = in.integer();
    o.language = in.integer();
    o.noAsm = in.integer();
    o.optimizeLevel = in.integer();
    o.otherOptions = in.string();
    o.noAssemble = in.integer();
    o.traditional = in.integer();
    o.warningLevel = in.integer();
    project.outputName = in.string();
    if (!in.failed()) {
        // The counts are known to lie within the capacity here.
        project.sources.reserve(sourceCount);
        project.libraries.reserve(libraryCount);
    }
    for (std::int32_t i = 0; i < sourceCount && !in.failed(); ++i)
        project.sources.append(in.string());
    for (std::int32_t i = 0; i < libraryCount && !in.failed(); ++i)
        project.libraries.append(in.string());
    if (in.failed()) {
        if (error)
            *error = notValid(in.error());
        return std::nullopt;
    }
    return project;
}

std::optional<ProjectFile> LoadProjectFile(const QString& path, QString* error)
{
    auto fail = [error](const QString& reason) -> std::optional<ProjectFile> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    // Looked at before it is opened: opening a FIFO would wait for a writer.
    switch (FileTypeOf(path)) {
    case FileType::Folder: return fail(QStringLiteral("It is a folder, not a project file."));
    case FileType::Other: return fail(QStringLiteral("It is not a regular file."));
    case FileType::Missing:
    case FileType::Regular: break;
    }
    QString reason;
    const std::optional<QByteArray> bytes = ReadRegularFile(path, kMaxProjectFileBytes, &reason);
    if (!bytes)
        return fail(QStringLiteral("It could not be read: %1.").arg(reason));
    return DecodeProjectFile(*bytes, error);
}

bool SaveProjectFile(const QString& path, const ProjectFile& project, QString* error)
{
    return fw::saveFileSafely(path, EncodeProjectFile(project), error);
}
