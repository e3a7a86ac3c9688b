#pragma once

#include "editor/PreprocessorCondition.h"
#include "editor/SourceKind.h"

#include <Qsci/qscilexercpp.h>

#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <memory>

class SourceStyler;

// The colouring of C and C++ source windows. It is QScintilla's C++ lexer
// for everything the user sees (style numbers, colours, fonts, the font
// settings of Options), but the styling itself is Tarn's SourceStyler, which
// the control asks for whenever it needs styles further on: QScintilla's
// own lexer styled a 50 MB source at about 40 MB/s, too slow for Ctrl+End.
//
// Besides what the control asks for, the text is styled ahead in idle time,
// a slice of a few milliseconds at a time, so Ctrl+End in a large file finds
// the end already styled. Idle styling starts shortly after the window
// shows, and a second after the last edit (each edit makes the styles after
// it stale); any event that waits runs between two slices.
class CSourceLexer : public QsciLexerCPP {
    Q_OBJECT

public:
    explicit CSourceLexer(QObject* parent = nullptr, SourceLanguage language = SourceLanguage::CAndCpp);
    ~CSourceLexer() override;

    // The keywords of the window's language; the whole text is styled
    // again when they change.
    SourceLanguage sourceLanguage() const { return m_language; }
    void setLanguage(SourceLanguage language);
    // The compile options of the window's file: their -D and -U decide on
    // "#if" blocks besides the file's own definitions. The whole text is
    // styled again when what they say changes.
    void setCompileOptions(const QString& options);

    // Set 1 is the language's keywords.
    const char* keywords(int set) const override;

    // No lexer of the control's own: it asks this object to style.
    const char* lexer() const override;
    int lexerId() const override;
    void setEditor(QsciScintilla* editor) override;

    // True while text is left to style ahead.
    bool stylingAhead() const { return m_ahead.isActive(); }
    // Arms the idle styling: soon, or a while after the last edit (the
    // window calls it when it has put a whole text in without telling).
    void scheduleAhead();

private:
    using Pos = std::int64_t;
    void styleNeeded(int position);
    bool onScreen(Pos position) const;
    void styleGuess(Pos position, Pos styledTo);
    Pos styleLines(SourceStyler& styler, int line, Pos position);
    void styleAgain();
    // Styles one slice past what is styled, and re-arms while text is left.
    void styleAheadSlice();

    SourceLanguage m_language;
    PreprocessorSymbols m_predefined;

    std::unique_ptr<SourceStyler> m_styler;
    // Styles the screen when it is far beyond what m_styler has reached:
    // from line m_guessLine (at m_guessFrom) on, as if nothing before it
    // mattered, up to m_guessTo. m_guessLine is -1 without a guess.
    std::unique_ptr<SourceStyler> m_guess;
    int m_guessLine = -1;
    Pos m_guessFrom = 0;
    Pos m_guessTo = 0;
    // Beyond this many bytes past the styled end the screen is guessed
    // (styling that far would hold the window for tens of milliseconds);
    // a guess starts this far before the screen.
    static constexpr Pos kGuessBeyondBytes = 1 << 20;
    static constexpr Pos kGuessLookBackBytes = 128 * 1024;
    QMetaObject::Connection m_styleNeeded;
    QMetaObject::Connection m_modified;

    QTimer m_ahead;
    QElapsedTimer m_sinceEdit; // invalid: no edit yet
    bool m_inAheadSlice = false;
    // Bytes a slice styles, adapted so that a slice takes about 4 ms.
    long m_sliceBytes = 256 * 1024;
};
