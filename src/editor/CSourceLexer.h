#pragma once

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
    explicit CSourceLexer(QObject* parent = nullptr);
    ~CSourceLexer() override;

    // No lexer of the control's own: it asks this object to style.
    const char* lexer() const override;
    int lexerId() const override;
    void setEditor(QsciScintilla* editor) override;

private:
    void styleNeeded(int position);

    std::unique_ptr<SourceStyler> m_styler;
    QMetaObject::Connection m_styleNeeded;
};
