#include "editor/CSourceLexer.h"

#include "editor/SourceStyler.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

// Tarn's C styles are QsciLexerCPP's.
constexpr std::pair<int, int> kSameStyles[] = {
    {CStyle::Comment, QsciLexerCPP::Comment},
    {CStyle::CommentLine, QsciLexerCPP::CommentLine},
    {CStyle::CommentDoc, QsciLexerCPP::CommentDoc},
    {CStyle::Number, QsciLexerCPP::Number},
    {CStyle::Keyword, QsciLexerCPP::Keyword},
    {CStyle::String, QsciLexerCPP::DoubleQuotedString},
    {CStyle::Character, QsciLexerCPP::SingleQuotedString},
    {CStyle::Uuid, QsciLexerCPP::UUID},
    {CStyle::Preprocessor, QsciLexerCPP::PreProcessor},
    {CStyle::Operator, QsciLexerCPP::Operator},
    {CStyle::Identifier, QsciLexerCPP::Identifier},
    {CStyle::UnclosedString, QsciLexerCPP::UnclosedString},
    {CStyle::Verbatim, QsciLexerCPP::VerbatimString},
    {CStyle::Regex, QsciLexerCPP::Regex},
    {CStyle::CommentLineDoc, QsciLexerCPP::CommentLineDoc},
    {CStyle::Keyword2, QsciLexerCPP::KeywordSet2},
    {CStyle::DocKeyword, QsciLexerCPP::CommentDocKeyword},
    {CStyle::DocKeywordError, QsciLexerCPP::CommentDocKeywordError},
    {CStyle::GlobalClass, QsciLexerCPP::GlobalClass},
    {CStyle::RawString, QsciLexerCPP::RawString},
    {CStyle::PreprocessorComment, QsciLexerCPP::PreProcessorComment},
    {CStyle::PreprocessorCommentDoc, QsciLexerCPP::PreProcessorCommentLineDoc},
    {CStyle::UserLiteral, QsciLexerCPP::UserLiteral},
    {CStyle::Inactive, QsciLexerCPP::InactiveDefault},
};
constexpr bool stylesAgree()
{
    for (const auto& [tarn, qsci] : kSameStyles) {
        if (tarn != qsci)
            return false;
    }
    return true;
}
static_assert(stylesAgree(), "Tarn's C styles are QsciLexerCPP's");

std::string wordsOf(const QsciLexerCPP& lexer, int set)
{
    const char* words = lexer.QsciLexerCPP::keywords(set);
    return words ? words : "";
}

} // namespace

CSourceLexer::CSourceLexer(QObject* parent, SourceLanguage language) : QsciLexerCPP(parent), m_language(language)
{
    m_ahead.setSingleShot(true);
    connect(&m_ahead, &QTimer::timeout, this, &CSourceLexer::styleAheadSlice);
    // The same word lists as QScintilla's lexer is given (the control's
    // keyword sets 0 to 3 are the lexer's sets 1 to 4).
    m_styler = std::make_unique<SourceStyler>(
        SourceStyler::Words{SourceKeywordsOf(m_language), wordsOf(*this, 2), wordsOf(*this, 3), wordsOf(*this, 4)});
}

CSourceLexer::~CSourceLexer() = default;

const char* CSourceLexer::keywords(int set) const
{
    if (set == 1)
        return SourceKeywordsOf(m_language);
    return QsciLexerCPP::keywords(set);
}

void CSourceLexer::setLanguage(SourceLanguage language)
{
    if (language == m_language)
        return;
    m_language = language;
    m_styler->setKeywords(SourceKeywordsOf(language));
    styleAgain();
}

void CSourceLexer::setCompileOptions(const QString& options)
{
    PreprocessorSymbols symbols = preprocessorSymbolsOfOptions(options.toStdString());
    const auto same = [](const PreprocessorSymbols& a, const PreprocessorSymbols& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
            return x.first == y.first && x.second.state == y.second.state && x.second.value == y.second.value
                   && x.second.functionLike == y.second.functionLike;
        });
    };
    if (same(symbols, m_predefined))
        return;
    m_predefined = symbols;
    m_styler->setPredefined(std::move(symbols));
    styleAgain();
}

// The control styles the text again from its start as it is shown.
void CSourceLexer::styleAgain()
{
    if (QsciScintilla* control = editor()) {
        control->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, 0UL, 0L);
        control->update();
        scheduleAhead();
    }
}

const char* CSourceLexer::lexer() const
{
    return nullptr;
}

int CSourceLexer::lexerId() const
{
    return QsciScintillaBase::SCLEX_CONTAINER;
}

void CSourceLexer::setEditor(QsciScintilla* editor)
{
    disconnect(m_styleNeeded);
    disconnect(m_modified);
    m_ahead.stop();
    QsciLexerCPP::setEditor(editor);
    m_styler->forget();
    if (editor) {
        m_styleNeeded = connect(editor, &QsciScintillaBase::SCN_STYLENEEDED, this, &CSourceLexer::styleNeeded);
        m_modified = connect(editor, &QsciScintillaBase::SCN_MODIFIED, this, [this](int, int type) {
            if (type & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT)) {
                m_sinceEdit.start();
                scheduleAhead();
            }
        });
        scheduleAhead();
    }
}

void CSourceLexer::scheduleAhead()
{
    // Typing makes what follows stale at every key: the rest of a large
    // file is styled again only once the user has paused.
    const bool typing = m_sinceEdit.isValid() && m_sinceEdit.elapsed() < 1000;
    m_ahead.start(typing ? 1000 : 50);
}

void CSourceLexer::styleAheadSlice()
{
    QsciScintilla* control = editor();
    if (!control)
        return;
    const long length = control->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const long styledTo = control->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
    if (styledTo >= length)
        return;
    QElapsedTimer clock;
    clock.start();
    m_inAheadSlice = true;
    styleNeeded(int(std::min<long>(length, styledTo + m_sliceBytes)));
    m_inAheadSlice = false;
    const qint64 ns = std::max<qint64>(clock.nsecsElapsed(), 100000);
    constexpr qint64 kSliceNs = 4000000;
    m_sliceBytes = std::clamp<long>(long(double(m_sliceBytes) * double(kSliceNs) / double(ns)), 16 * 1024,
                                    16 * 1024 * 1024);
    if (control->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) < length)
        m_ahead.start(0);
}

// The control wants styles up to `position`: from the start of the first
// line not styled yet (or an earlier one styling can start at) to the end
// of the line holding `position`.
void CSourceLexer::styleNeeded(int position)
{
    QsciScintilla* control = editor();
    if (!control)
        return;
    using Pos = SourceStyler::Pos;
    auto send = [control](unsigned int message, unsigned long w = 0, long l = 0) {
        return control->SendScintilla(message, w, l);
    };
    const Pos length = send(QsciScintillaBase::SCI_GETLENGTH);
    const Pos styledTo = send(QsciScintillaBase::SCI_GETENDSTYLED);
    const int line = m_styler->resumeLine(int(send(QsciScintillaBase::SCI_LINEFROMPOSITION, styledTo)));
    const Pos start = send(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    const int lastLine = int(send(QsciScintillaBase::SCI_LINEFROMPOSITION, std::clamp<Pos>(position, 0, length)));
    const Pos end = lastLine + 1 < send(QsciScintillaBase::SCI_GETLINECOUNT)
                        ? send(QsciScintillaBase::SCI_POSITIONFROMLINE, lastLine + 1)
                        : length;
    if (end <= start && end < length)
        return;
    // The bytes as they stand in the control (moving its gap out of the
    // range if need be), with some bytes after the end to look ahead into.
    const Pos fetchEnd = std::min(length, end + 4096);
    SourceStyler::Text text;
    text.bytes = reinterpret_cast<const char*>(
        send(QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), long(fetchEnd - start)));
    text.start = start;
    text.size = text.bytes ? fetchEnd - start : 0;
    text.docLength = length;
    text.byteAt = [control](Pos p) {
        return static_cast<char>(control->SendScintilla(QsciScintillaBase::SCI_GETCHARAT, static_cast<unsigned long>(p)));
    };
    m_styler->style(line, text, end, [control](Pos from, const char* styles, size_t count) {
        if (count == 0)
            return;
        control->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(from));
        control->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<uintptr_t>(count), styles);
    });
    // What the control asked for is done; the rest follows in idle time.
    if (!m_inAheadSlice && !m_ahead.isActive() && end < length)
        scheduleAhead();
}
