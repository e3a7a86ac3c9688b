// libFuzzer target for the project file reader: any bytes must be either
// refused with a message or decoded into a project that encodes and decodes
// back to itself, without a crash or an allocation larger than the input.
#include "project/ProjectFileCodec.h"

#include <QFile>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<ProjectFile> project = DecodeProjectFile(bytes, &error);
    if (!project) {
        if (error.isEmpty())
            std::abort(); // every refusal says why
        return 0;
    }
    if (project->sources.size() > kProjectListCapacity
        || project->libraries.size() > kProjectListCapacity)
        std::abort();
    // Text that is valid in the file-name encoding comes back unchanged.
    const std::optional<ProjectFile> again = DecodeProjectFile(EncodeProjectFile(*project));
    if (!again || !(*again == *project))
        std::abort();
    return 0;
}
