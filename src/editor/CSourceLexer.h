#pragma once

#include "editor/PreprocessorCondition.h"
#include "editor/SourceKind.h"

#include <Qsci/qscilexercpp.h>

#include <memory>

class SourceStyler;

// The colouring of C and C++ source windows. It is QScintilla's C++ lexer
// for everything the user sees (style numbers, colours, fonts, the font
// settings of Options), but the styling itself is Tarn's SourceStyler, which
// the control asks for whenever it needs styles further on: QScintilla's
// own lexer styled a 50 MB source at about 40 MB/s, too slow for Ctrl+End.
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

private:
    void styleNeeded(int position);
    void styleAgain();

    SourceLanguage m_language;
    PreprocessorSymbols m_predefined;

    std::unique_ptr<SourceStyler> m_styler;
    QMetaObject::Connection m_styleNeeded;
};
