// Cutting a server's output into messages: whole, in pieces of any size,
// after garbage, with headers Tarn does not use, and past bodies too large
// to hold.
#include "language/LspFraming.h"

#include <gtest/gtest.h>

namespace {

std::vector<QByteArray> cut(LspFrameReader& reader, const QByteArray& bytes, qsizetype piece)
{
    std::vector<QByteArray> bodies;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        reader.feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)), bodies);
    return bodies;
}

TEST(LspFraming, FramesComeBackWholeWhateverThePieces)
{
    const QByteArray stream = LspFrame("{\"a\":1}") + LspFrame("") + LspFrame("{\"b\":\"\\r\\n\\r\\n\"}")
                              + "Content-Type: application/vscode-jsonrpc; charset=utf-8\r\n"
                                "content-length: 2\r\n\r\n{}";
    const std::vector<QByteArray> expected{"{\"a\":1}", "", "{\"b\":\"\\r\\n\\r\\n\"}", "{}"};
    for (qsizetype piece : {qsizetype(1), qsizetype(2), qsizetype(7), stream.size()}) {
        LspFrameReader reader;
        EXPECT_EQ(cut(reader, stream, piece), expected) << "pieces of " << piece;
        EXPECT_EQ(reader.problems().garbageBytes, 0);
        EXPECT_EQ(reader.heldBytes(), 0);
    }
}

TEST(LspFraming, FindsItsWayBackAfterGarbage)
{
    struct Case {
        const char* name;
        QByteArray stream;
        std::vector<QByteArray> bodies;
        bool garbage;
    };
    const std::vector<Case> cases{
        {"text before a header", "clangd says hello\n" + LspFrame("{}"), {"{}"}, true},
        {"a header without a length", "X-Other: 1\r\n\r\n" + LspFrame("[1]"), {"[1]"}, true},
        {"a length that is no number", "Content-Length: 1x\r\n\r\n" + LspFrame("[2]"), {"[2]"}, true},
        {"a negative length", "Content-Length: -5\r\n\r\n" + LspFrame("[3]"), {"[3]"}, true},
        {"a length too short: its tail is garbage",
         "Content-Length: 3\r\n\r\n{\"long\":1}" + LspFrame("[4]"), {"{\"l", "[4]"}, true},
        {"a header that never ends", QByteArray("Content-Length: 5") + QByteArray(5000, ' ') + LspFrame("[5]"),
         {"[5]"}, true},
    };
    for (const Case& c : cases) {
        for (qsizetype piece : {qsizetype(1), c.stream.size()}) {
            LspFrameReader reader;
            EXPECT_EQ(cut(reader, c.stream, piece), c.bodies) << c.name << ", pieces of " << piece;
            EXPECT_EQ(reader.problems().garbageBytes > 0, c.garbage) << c.name;
        }
    }
}

TEST(LspFraming, ABodyTooLargeIsReadPastWithoutBeingHeld)
{
    LspFrameReader reader(1000);
    std::vector<QByteArray> bodies;
    reader.feed("Content-Length: 1000000\r\n\r\n", bodies);
    qsizetype mostHeld = 0;
    const QByteArray chunk(4096, 'x');
    for (int i = 0; i < 1000000 / 4096; ++i) {
        reader.feed(chunk, bodies);
        mostHeld = std::max(mostHeld, reader.heldBytes());
    }
    reader.feed(QByteArray(1000000 % 4096, 'x') + LspFrame("{\"after\":true}"), bodies);
    EXPECT_EQ(bodies, std::vector<QByteArray>{"{\"after\":true}"});
    EXPECT_EQ(reader.problems().oversized, 1);
    EXPECT_LT(mostHeld, 100);
}

} // namespace
