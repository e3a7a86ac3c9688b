#include "editor/SourceStyler.h"

#include "editor/SourceStyleRun.h"

#include <algorithm>
#include <cstring>

using sourcestyle::is;
using sourcestyle::Space;
using namespace sourcestyle::lineflag;

SourceWordSet::SourceWordSet(std::string_view spaceSeparated)
{
    m_first.fill(-1);
    size_t i = 0;
    while (i < spaceSeparated.size()) {
        while (i < spaceSeparated.size() && is(spaceSeparated[i], Space))
            ++i;
        const size_t start = i;
        while (i < spaceSeparated.size() && !is(spaceSeparated[i], Space))
            ++i;
        if (i == start)
            continue;
        const std::string_view word = spaceSeparated.substr(start, i - start);
        if (contains(word))
            continue;
        m_words.emplace_back(word);
        if (word.size() < 32)
            m_lengths |= 1u << word.size();
        if (word.size() > 16) {
            m_long.emplace_back(word);
            continue;
        }
        Entry entry;
        entry.key = keyOf(word);
        entry.length = std::uint32_t(word.size());
        const unsigned slot = slotOf(entry.key, word.size());
        entry.next = m_first[slot];
        m_first[slot] = std::int32_t(m_entries.size());
        m_entries.push_back(entry);
    }
}

SourceWordSet::Key SourceWordSet::keyOf(std::string_view word)
{
    char bytes[16] = {};
    std::memcpy(bytes, word.data(), std::min<size_t>(word.size(), 16));
    Key key;
    std::memcpy(&key.low, bytes, 8);
    std::memcpy(&key.high, bytes + 8, 8);
    return key;
}

unsigned SourceWordSet::slotOf(const Key& key, size_t length)
{
    const std::uint64_t h = (key.low ^ (key.high * 0x9e3779b97f4a7c15ull) ^ length) * 0xff51afd7ed558ccdull;
    return unsigned(h >> 54);
}

bool SourceWordSet::contains(std::string_view word) const
{
    if (word.empty() || (word.size() < 32 && !(m_lengths >> word.size() & 1)))
        return false;
    if (word.size() > 16)
        return std::find(m_long.begin(), m_long.end(), word) != m_long.end();
    char bytes[16] = {};
    std::memcpy(bytes, word.data(), word.size());
    return containsShort(bytes, word.size());
}

SourceStyler::SourceStyler(const Words& words)
    : m_keywords(words.keywords), m_keywords2(words.keywords2), m_docKeywords(words.docKeywords),
      m_globalClasses(words.globalClasses)
{
}

void SourceStyler::forget()
{
    m_lines.clear();
    m_conditionals.clear();
    m_rawEnds.clear();
    m_definitions.clear();
    m_symbols = m_predefined;
    m_symbolsLine = 0;
}

void SourceStyler::setPredefined(PreprocessorSymbols symbols)
{
    m_predefined = std::move(symbols);
    forget();
}

void SourceStyler::setKeywords(std::string_view spaceSeparated)
{
    m_keywords = SourceWordSet(spaceSeparated);
    forget();
}

int SourceStyler::resumeLine(int line) const
{
    for (line -= line % kLinesPerRecord; line > 0; line -= kLinesPerRecord) {
        const size_t index = size_t(line / kLinesPerRecord);
        if (index < m_lines.size() && (m_lines[index].flags & Valid))
            return line;
    }
    return 0;
}

// Drops what was learnt from `line` on and sets the definitions to those
// made before it.
void SourceStyler::prepareFor(int line)
{
    while (!m_conditionals.empty() && m_conditionals.back().first > line)
        m_conditionals.pop_back();
    m_rawEnds.erase(m_rawEnds.upper_bound(line), m_rawEnds.end());
    const bool reuse = line == m_symbolsLine;
    while (!m_definitions.empty() && m_definitions.back().line >= line)
        m_definitions.pop_back();
    if (!reuse) {
        m_symbols = m_predefined;
        for (const Definition& def : m_definitions)
            m_symbols[def.name] = def.symbol;
    }
    if (line == 0)
        m_lines.clear();
}

SourceStyler::Pos SourceStyler::style(int line, const Text& text, Pos end, const Sink& sink, Pos piece)
{
    prepareFor(line);
    sourcestyle::StyleRun run(*this, text, end, sink, piece, line);
    if (line > 0 && size_t(line / kLinesPerRecord) < m_lines.size()) {
        const LineStart& rec = m_lines[size_t(line / kLinesPerRecord)];
        run.state = rec.state;
        run.continued = rec.flags & Continued;
        run.activity = (rec.flags & InactiveSet) ? CStyle::Inactive : 0;
        run.stringInDirective = rec.flags & StringInDirective;
        run.docKeywordBrace = rec.flags & DocKeywordBrace;
        run.prevNonBlank = rec.prevNonBlank;
        run.docStyle = rec.docStyle;
        if (!m_conditionals.empty())
            run.conditionals = m_conditionals.back().second;
        const auto raw = m_rawEnds.find(line);
        if (raw != m_rawEnds.end())
            run.rawEnd = raw->second;
    }
    run.recordedConditionals = run.conditionals;
    run.run();
    // The definitions now are those made before the line styling stopped at.
    m_symbolsLine = (!run.clamped && run.atLineStart && run.pos < text.docLength) ? run.line : -1;
    return std::min(run.pos, text.docLength);
}
