// libFuzzer target for the C styler: any bytes are styled, from the start
// in one pass and again from a line the styler says it can restart at, in
// pieces of a size the input picks; both give every byte the same style.
// The text sits in a buffer of exactly its size, so a scan that reads past
// its end is caught by the address sanitizer.
#include "editor/SourceStyler.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using Pos = SourceStyler::Pos;

SourceStyler::Words words()
{
    return {"int return if else for static const char void class uuid", "", "param brief return", ""};
}

struct Buffer {
    std::unique_ptr<char[]> bytes;
    Pos size = 0;
};

// The bytes from `start` on as the control hands them: exactly those, and
// any other byte on request.
SourceStyler::Text textFrom(const Buffer& buffer, Pos start)
{
    SourceStyler::Text t;
    t.bytes = buffer.bytes.get() + start;
    t.start = start;
    t.size = buffer.size - start;
    t.docLength = buffer.size;
    const char* all = buffer.bytes.get();
    const Pos size = buffer.size;
    t.byteAt = [all, size](Pos p) { return p >= 0 && p < size ? all[p] : '\0'; };
    return t;
}

void styleInto(SourceStyler& styler, const Buffer& buffer, int line, Pos start, std::vector<int>& styles, Pos piece)
{
    Pos next = start;
    styler.style(line, textFrom(buffer, start), buffer.size,
                 [&](Pos from, const char* s, size_t count) {
                     if (from != next)
                         std::abort(); // pieces follow each other
                     for (size_t i = 0; i < count; ++i)
                         styles[size_t(from) + i] = static_cast<unsigned char>(s[i]);
                     next = from + Pos(count);
                 },
                 piece);
    if (next != buffer.size)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    // Two bytes choose the restart line and the piece size; one whether
    // the file's options define a name.
    const unsigned lineChoice = data[0];
    const Pos piece = Pos(1) + data[1] * 37;
    const bool predefine = data[2] & 1;
    Buffer buffer;
    buffer.size = Pos(size - 3);
    buffer.bytes = std::make_unique<char[]>(size_t(buffer.size) + 1); // (+1: never empty)
    std::memcpy(buffer.bytes.get(), data + 3, size - 3);

    std::vector<Pos> starts{0};
    for (Pos i = 0; i < buffer.size; ++i) {
        const char c = buffer.bytes[size_t(i)];
        if (c == '\n' || (c == '\r' && (i + 1 == buffer.size || buffer.bytes[size_t(i) + 1] != '\n')))
            starts.push_back(i + 1);
    }

    SourceStyler styler(words());
    if (predefine)
        styler.setPredefined(preprocessorSymbolsOfOptions("-DX=1 -UY"));
    std::vector<int> once(size_t(buffer.size), -1);
    styleInto(styler, buffer, 0, 0, once, Pos(1) << 30);
    for (int style : once) {
        if (style < 0)
            std::abort();
    }

    const int line = int(lineChoice % starts.size());
    const int from = styler.resumeLine(line);
    if (from > line)
        std::abort();
    std::vector<int> again = once;
    styleInto(styler, buffer, from, starts[size_t(from)], again, piece);
    if (again != once)
        std::abort();
    return 0;
}
