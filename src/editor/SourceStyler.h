#pragma once

#include "editor/PreprocessorCondition.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace sourcestyle {
struct StyleRun;
}

// The style numbers of C and C++ colouring: those of QScintilla's C++ lexer
// (QsciLexerCPP), so its colours and fonts apply unchanged. Code that "#if 0"
// and its kin leave out takes the style plus Inactive.
namespace CStyle {
enum : unsigned char {
    Default = 0,
    Comment = 1,
    CommentLine = 2,
    CommentDoc = 3,
    Number = 4,
    Keyword = 5,
    String = 6,
    Character = 7,
    Uuid = 8,
    Preprocessor = 9,
    Operator = 10,
    Identifier = 11,
    UnclosedString = 12,
    Verbatim = 13,
    Regex = 14,
    CommentLineDoc = 15,
    Keyword2 = 16,
    DocKeyword = 17,
    DocKeywordError = 18,
    GlobalClass = 19,
    RawString = 20,
    PreprocessorComment = 23,
    PreprocessorCommentDoc = 24,
    UserLiteral = 25,
    Inactive = 64,
};
}

// A set of words looked up by their bytes, for the keyword lists.
class SourceWordSet {
public:
    SourceWordSet() = default;
    explicit SourceWordSet(std::string_view spaceSeparated);
    bool contains(std::string_view word) const;
    // The same for a word of 1 to 16 bytes at `word`, with at least 16
    // bytes readable there.
    bool containsShort(const char* word, size_t length) const
    {
        if (!(m_lengths >> length & 1))
            return false;
        std::uint64_t low;
        std::uint64_t high;
        std::memcpy(&low, word, 8);
        std::memcpy(&high, word + 8, 8);
        if (length < 8) {
            low &= (std::uint64_t(1) << (8 * length)) - 1;
            high = 0;
        } else if (length < 16) {
            high &= (std::uint64_t(1) << (8 * (length - 8))) - 1;
        }
        const Key key{low, high};
        for (int index = m_first[slotOf(key, length)]; index >= 0; index = m_entries[size_t(index)].next) {
            const Entry& entry = m_entries[size_t(index)];
            if (entry.key == key && entry.length == length)
                return true;
        }
        return false;
    }
    bool empty() const { return m_words.empty(); }
    size_t size() const { return m_words.size(); }

private:
    // Words of up to 16 bytes as two numbers (their bytes in order, the
    // rest zero), so a look-up is a hash and two comparisons.
    struct Key {
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        bool operator==(const Key&) const = default;
    };
    static Key keyOf(std::string_view word);
    static unsigned slotOf(const Key& key, size_t length);
    struct Entry {
        Key key;
        std::uint32_t length = 0;
        std::int32_t next = -1;
    };
    std::vector<Entry> m_entries;    // chained by slot
    std::vector<std::string> m_long; // words of more than 16 bytes
    std::array<std::int32_t, 1024> m_first;
    std::uint32_t m_lengths = 0; // bit n: a word of n bytes (n < 32) is in the set
    std::vector<std::string> m_words;
};

// Colours C and C++ text: for every byte the style number QsciLexerCPP gives
// it with "#if" tracking on (see SourceStylerTest for the few places where
// Tarn differs on purpose), written by one pass of a state machine over the
// bytes. What the pass needs at the start of each line is kept, so styling
// can start again at any line the text before which has not changed; the
// caller says where its text changed by asking to start no later than there.
class SourceStyler {
public:
    using Pos = std::int64_t;

    struct Words {
        std::string keywords;      // Keyword
        std::string keywords2;     // Keyword2
        std::string docKeywords;   // after '@' or '\' in doc comments
        std::string globalClasses; // GlobalClass
    };
    explicit SourceStyler(const Words& words);

    // The bytes [start, start + size) of a document of docLength bytes, and
    // a way to read any other byte (rarely needed: a look back or ahead).
    struct Text {
        const char* bytes = nullptr;
        Pos start = 0;
        Pos size = 0;
        Pos docLength = 0;
        std::function<char(Pos)> byteAt;
    };
    // Receives the styles of `count` bytes from `from` on, one per byte.
    using Sink = std::function<void(Pos from, const char* styles, size_t count)>;

    // The line at or before `line` where styling can start again.
    int resumeLine(int line) const;

    // Styles from the start of `line` (a line resumeLine gave, whose first
    // byte is text.start) to `end`, the start of a later line or the
    // document's end, handing the styles to `sink` in pieces of about
    // `piece` bytes (small enough to stay in the cache). Returns the position
    // styled to (`end`).
    Pos style(int line, const Text& text, Pos end, const Sink& sink, Pos piece = 1 << 16);

    // All lines are to be styled afresh (a new text).
    void forget();

    // What a restart at the start of a line needs (besides the "#if" state,
    // the raw string's end and the definitions, kept apart as they change
    // seldom).
    struct LineStart {
        unsigned char state = CStyle::Default;
        unsigned char flags = 0;
        unsigned char prevNonBlank = ' ';
        unsigned char docStyle = CStyle::Default;
    };
    // Where each "#if" level stands: bit n of `inactive` is set while level
    // n leaves its text out, bit n of `taken` once one of its branches was
    // taken.
    // A level's branch is drawn grey only when it is certainly left out:
    // bit n of `uncertain` is set while level n's branch is taken or not
    // by what Tarn cannot know, bit n of `maybeTaken` once such a branch
    // was seen (a later "#else" is then not certainly taken either).
    struct Conditionals {
        std::uint32_t inactive = 0;
        std::uint32_t taken = 0;
        std::uint32_t uncertain = 0;
        std::uint32_t maybeTaken = 0;
        int level = -1;
        bool operator==(const Conditionals&) const = default;
    };
    struct Definition {
        int line;
        std::string name;
        PreprocessorSymbol symbol; // its state says "#define", "#undef" or either
    };

    // What is known of names before the text's first line (the -D and -U
    // of the file's compile options). Styling starts afresh.
    void setPredefined(PreprocessorSymbols symbols);
    // The keywords (Keyword style) in place of those given at first.
    // Styling starts afresh.
    void setKeywords(std::string_view spaceSeparated);

    // Restarts are at every eighth line only (a few lines more to style
    // on an edit, an eighth of the memory and bookkeeping).
    static constexpr int kLinesPerRecord = 8;

private:
    friend struct sourcestyle::StyleRun;
    void prepareFor(int line);

    SourceWordSet m_keywords;
    SourceWordSet m_keywords2;
    SourceWordSet m_docKeywords;
    SourceWordSet m_globalClasses;

    std::vector<LineStart> m_lines;                           // of every kLinesPerRecord-th line
    std::vector<std::pair<int, Conditionals>> m_conditionals; // from a line on
    std::map<int, std::string> m_rawEnds;                     // lines starting in a raw string
    std::vector<Definition> m_definitions;                    // in line order
    PreprocessorSymbols m_predefined;                         // before the first line
    PreprocessorSymbols m_symbols;                            // as at the start of m_symbolsLine
    int m_symbolsLine = 0;
    // A style byte of its own type: writing one cannot change any other
    // variable, so the compiler keeps the pass's variables in registers.
    enum class StyleByte : std::uint8_t {};
    std::vector<StyleByte> m_styles;
};
