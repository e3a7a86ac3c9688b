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
    const SourceStyler::Words words{SourceKeywordsOf(m_language), wordsOf(*this, 2), wordsOf(*this, 3),
                                    wordsOf(*this, 4)};
    m_styler = std::make_unique<SourceStyler>(words);
    m_guess = std::make_unique<SourceStyler>(words);
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
    m_guess->setKeywords(SourceKeywordsOf(language));
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
    m_guess->setPredefined(symbols);
    m_styler->setPredefined(std::move(symbols));
    styleAgain();
}

// The control styles the text again from its start as it is shown.
void CSourceLexer::styleAgain()
{
    m_guessLine = -1;
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
    m_guessLine = -1;
    if (editor) {
        m_styleNeeded = connect(editor, &QsciScintillaBase::SCN_STYLENEEDED, this, &CSourceLexer::styleNeeded);
        m_modified = connect(editor, &QsciScintillaBase::SCN_MODIFIED, this, [this](int position, int type) {
            if (type & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT)) {
                m_sinceEdit.start();
                // The guess after the edit is stale; before the place it
                // started from, it is dropped.
                if (m_guessLine >= 0 && position < m_guessTo) {
                    if (position <= m_guessFrom)
                        m_guessLine = -1;
                    else
                        m_guessTo = position;
                }
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
// of the line holding `position`. Far beyond what is styled (Ctrl+End
// right after a large file opened), the screen is styled from a guess
// instead, and what is styled stays where it was.
void CSourceLexer::styleNeeded(int position)
{
    QsciScintilla* control = editor();
    if (!control)
        return;
    const Pos styledTo = control->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED);
    if (!m_inAheadSlice && position - styledTo > kGuessBeyondBytes && onScreen(position)) {
        styleGuess(position, styledTo);
        if (!m_ahead.isActive())
            scheduleAhead();
        return;
    }
    const int line = m_styler->resumeLine(int(control->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, styledTo)));
    const Pos end = styleLines(*m_styler, line, position);
    if (m_guessLine >= 0 && end >= m_guessTo)
        m_guessLine = -1;
    // What the control asked for is done; the rest follows in idle time.
    if (!m_inAheadSlice && !m_ahead.isActive() && end < control->SendScintilla(QsciScintillaBase::SCI_GETLENGTH))
        scheduleAhead();
}

// True when `position` is on a line the window shows (a paint asks for
// it), not on a line far away (printing, or styling the whole text asked
// for at once).
bool CSourceLexer::onScreen(Pos position) const
{
    QsciScintilla* control = editor();
    const long first = control->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
    const long shown = control->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    const long firstLine = control->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(first));
    const long lastLine =
        control->SendScintilla(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(first + shown + 1));
    const long line = control->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    return line >= firstLine && line <= lastLine + 1;
}

// Styles the lines the screen shows up to `position` with the guessing
// styler, which starts from a plain line some way before them (in a long
// comment or "#if 0" block that starts further back, what it shows is
// wrong until the styling ahead comes by). The control's styled end goes
// back to `styledTo`, so styling ahead still takes every byte in order.
void CSourceLexer::styleGuess(Pos position, Pos styledTo)
{
    QsciScintilla* control = editor();
    auto send = [control](unsigned int message, unsigned long w = 0, long l = 0) {
        return control->SendScintilla(message, w, l);
    };
    const int lastLine = int(send(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position)));
    int firstLine = int(send(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, send(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE)));
    firstLine = std::min(firstLine, lastLine);
    const Pos screenStart = send(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(firstLine));
    const bool covers = m_guessLine >= 0 && m_guessFrom <= screenStart && m_guessTo >= screenStart;
    int line;
    if (covers) {
        if (m_guessTo > position)
            return;
        line = std::max(m_guessLine, m_guess->resumeLine(int(send(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                                                   static_cast<unsigned long>(m_guessTo)))));
    } else {
        line = int(send(QsciScintillaBase::SCI_LINEFROMPOSITION,
                        static_cast<unsigned long>(std::max<Pos>(0, screenStart - kGuessLookBackBytes))));
        line -= line % SourceStyler::kLinesPerRecord;
        m_guess->forget();
        m_guessLine = line;
        m_guessFrom = send(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    }
    m_guessTo = styleLines(*m_guess, line, position);
    send(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(styledTo));
}

// Styles with `styler` from the start of `line` to the end of the line
// holding `position`; returns the position styled to.
CSourceLexer::Pos CSourceLexer::styleLines(SourceStyler& styler, int line, Pos position)
{
    QsciScintilla* control = editor();
    auto send = [control](unsigned int message, unsigned long w = 0, long l = 0) {
        return control->SendScintilla(message, w, l);
    };
    const Pos length = send(QsciScintillaBase::SCI_GETLENGTH);
    const Pos start = send(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const int lastLine = int(send(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                  static_cast<unsigned long>(std::clamp<Pos>(position, 0, length))));
    const Pos end = lastLine + 1 < send(QsciScintillaBase::SCI_GETLINECOUNT)
                        ? send(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(lastLine + 1))
                        : length;
    if (end <= start && end < length)
        return start;
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
    return styler.style(line, text, end, [control](Pos from, const char* styles, size_t count) {
        if (count == 0)
            return;
        control->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(from));
        control->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<uintptr_t>(count), styles);
    });
}
