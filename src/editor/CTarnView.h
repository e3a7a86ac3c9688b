#pragma once

#include <optional>

#include "editor/FindRequest.h"
#include "editor/SourceKind.h"
#include "editor/TextPieces.h"
#include "editor/WordCompletion.h"
#include "framework/View.h"
#include "messages/LineNavigation.h"
#include "tools/CompileOptions.h"
#include "tools/LinkEntries.h"

#include <Qsci/qsciscintilla.h>

#include <QByteArrayView>
#include <QPointer>

#include <QDateTime>

#include <array>
#include <functional>
#include <memory>

class BreakpointBook;
class CodeIntelligence;
class MessageChannel;
class SourceIntelligence;
class IdeContext;
class CTarnDoc;
enum class StatementTemplate;
class FindReplaceDialog;
class QsciLexer;
class ScintillaEditControl;

// The view of a source window: a Scintilla control holding the file's
// bytes, the window's own build settings and the source commands.
class CTarnView : public QsciScintilla, public fw::View, public LineSelectable {
    Q_OBJECT
public:
    static constexpr int kMaxLinkEntries = ::kMaxLinkEntries;

    // The context gives the settings the view follows; it outlives the view.
    explicit CTarnView(const IdeContext& context, QWidget* parent = nullptr);
    ~CTarnView() override;

    QWidget* widget() override { return this; }
    CTarnDoc* sourceDocument() const;

    // Font, tab stops and wrapping from the settings; takes the document's
    // loaded bytes the first time. Never changes the modified flag.
    void onInitialUpdate() override;

    // Replaces the text by the bytes as they are (zero bytes included):
    // UTF-8 mode when they are valid UTF-8, else 8-bit Latin-1; Enter
    // writes the kind of the first line break. Clears undo and the
    // modified state.
    void loadText(const QByteArray& bytes);
    // The text is read without moving the edit control's gap (in a large
    // text a key typed elsewhere would wait for the text to be copied
    // back): a few bytes by byteRange, the whole as textPieces or a copy.
    //
    // A copy of the bytes [from, to), clipped to the text.
    QByteArray byteRange(long from, long to) const;
    // A copy of the whole text.
    QByteArray textCopy() const;
    // The text as the two pieces on either side of the gap, where they lie
    // (valid until the text changes): the text is the first followed by
    // the second. Nothing moves.
    TextPieces textPieces() const;

    // The operations Tarn's text algorithms use, with CR LF positions.
    ScintillaEditControl& editControl() { return *m_editControl; }
    // How the window colours its text: by its file's name, again after
    // Save As; as plain text while Syntax Colouring is off.
    SourceKind sourceKind() const { return m_kind; }
    // Follows the View menu's Syntax Colouring and Line Numbers switches
    // as they are now.
    void applyEditorSwitches();
    // C colouring follows the window's file: its language's keywords, and
    // the -D and -U of the options it is compiled with for its "#if"
    // blocks (those of the open project that holds the file, else the
    // window's own). Called again when either may have changed.
    void updateColouringContext();
    // Where a file's project options come from (set by the application):
    // the other options of an open project holding the file, or nothing.
    using ProjectOptionsLookup = std::function<std::optional<QString>(const QString& path)>;
    static void setProjectOptionsLookup(ProjectOptionsLookup lookup);

    void selectReportedLine(int line) override;
    void selectReportedMatch(int line, const QRegularExpression& pattern) override;

    // The rule of commands that work from the file on disk: false (after a
    // message) for a document never saved; a modified one is offered the
    // save question, whose answer does not matter.
    bool RequireSavedFile();

    // Search and replace; a failed search tells the user and returns false.
    bool findNext(const FindRequest& request);
    bool replaceCurrent(const FindRequest& request);
    int replaceAll(const FindRequest& request);
    // The last search (F3 repeats it).
    const FindRequest& lastFind() const { return m_lastFind; }
    // Opens the Find dialog or, with replace, the Replace dialog.
    void showFindDialog(bool replace);

    // Quick Compile and Build Source of this window: the tools that run
    // them are given by whoever makes the window (the editor knows no
    // tool); until then the two commands are not handled here.
    using ToolCommand = std::function<void(CTarnView&)>;
    void setToolCommands(ToolCommand quickCompile, ToolCommand buildSource);
    // The breakpoints the margin shows and toggles (the debugger's book);
    // without one the margin stays empty.
    void setBreakpointBook(BreakpointBook* book);

    // The language servers the window's file goes to, and the messages
    // that take Find References' rows (set by whoever makes the window;
    // without them the window has its word completion only).
    void setCodeIntelligence(CodeIntelligence* code, MessageChannel* messages);
    SourceIntelligence* intelligence() const { return m_intelligence.get(); }

    // Selects the byte range (the caret at its end), its line in the
    // middle of the window, and gives the window the focus.
    void showRange(long from, long to);

    // Where the last context menu was opened: the zero-based line and the
    // word (letters, digits and underscores) under the mouse, or at the
    // caret when the keyboard opened it; -1 and empty before any. The
    // debugger's items of the menu act on them.
    int contextLine() const { return m_contextLine; }
    QString contextWord() const { return m_contextWord; }

    // Ctrl+Space: a popup of the words of the open source windows and the
    // function names of the active project's tree that begin with the
    // letters before the caret; it narrows as more letters are typed.
    // False (and no popup) when no word fits.
    bool showWordCompletion();

    // Typing rules, run for each character the control has added
    // (SCN_CHARADDED); the switches are read afresh every time.
    void OnChar(int character);

    // Editing aids of the Edit and Search menus.
    void OnInsertIf();
    void OnInsertIfElse();
    void OnInsertWhile();
    void OnInsertDoWhile();
    void OnInsertFor();
    void OnInsertSwitch();
    void OnComment();
    void OnInsertDate();
    void OnInsertDateTime();
    void OnGoToLine();
    void OnGoToFunction();

    // Caret to the start of a zero-based line (the last line when the text
    // has fewer), that line scrolled to the top, and the focus to the
    // editor. The project tree's navigation uses it.
    void goToSourceLine(int line);

    // The clock of Insert Date and Insert Date/Time.
    std::function<QDateTime()> dateClock = [] { return QDateTime::currentDateTime(); };

    // The window's build settings (lost when the window closes).
    int outputChoice = 1;
    CompileOptions compileOptions;
    int linkCount = 0;
    std::array<QString, kMaxLinkEntries> linkEntries;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void registerCommands();
    void registerAidCommands();
    // Runs an edit as one undo step.
    void asOneUndoStep(const std::function<void()>& edit);
    void insertText(const QString& text);
    void insertTemplate(StatementTemplate kind);
    void applySourceFont();
    // Scrolls the caret's line to the middle of the window (F4, Go To Line,
    // Go To Function).
    void centreCaretLine();
    void colourAs(SourceKind kind);
    QString colouringOptions() const;
    // The kind the window's file calls for, plain text while colouring is off.
    SourceKind wantedKind() const;
    void fitNumberMargin();
    void connectDocument();
    // Shows the words of m_completionWords that fit the letters before the
    // caret, or closes the popup when none does.
    void narrowWordCompletion();
    // The text in the document's bytes; nullopt when a file shown as Latin-1
    // cannot hold it.
    std::optional<QByteArray> encode(const QString& text) const;
    void reportUnwritable(const QString& text);
    bool matchesSelection(const FindRequest& request) const;
    void reportNotFound(const QString& text);
    // The name (letters, digits, underscores, not starting with a digit)
    // around a byte position; empty when there is none.
    QString identifierAt(long position) const;

    // Colouring by the kind of file the window holds; none for plain text.
    QsciLexer* m_lexer = nullptr;
    SourceKind m_kind = SourceKind::Text;
    // Digits the line-number margin is wide enough for.
    int m_numberDigits = 0;
    bool m_numberCheckPending = false;
    const IdeContext& m_context;
    std::unique_ptr<ScintillaEditControl> m_editControl;
    QPointer<FindReplaceDialog> m_findDialog;
    QPointer<BreakpointBook> m_breakpointBook;
    int m_contextLine = -1;
    QString m_contextWord;
    FindRequest m_lastFind;
    bool m_hasSearched = false;
    bool m_documentConnected = false;
    // Every word the open popup may offer: those fitting the prefix it
    // opened with.
    CompletionWords m_completionWords;
    QByteArray m_completionList;
    std::unique_ptr<SourceIntelligence> m_intelligence;
};
