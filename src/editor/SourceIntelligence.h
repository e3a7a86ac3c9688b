#pragma once

#include "language/CodeIntelligence.h"

#include <QObject>
#include <QPointer>

#include <vector>

class CTarnView;
class MessageChannel;

// What a source window gets from its language server: the window's text
// kept in step with the server, the problems it finds as squiggles and
// margin marks (with their text where the mouse rests), completion that
// knows the code, signature hints, hover, and the jumps, references and
// renames of the Source menu. Everything runs on the interface thread and
// waits for nothing: each answer arrives when it arrives, and one that
// comes too late for what the user did meanwhile is dropped.
class SourceIntelligence : public QObject, public LanguageDocument {
    Q_OBJECT
public:
    // Indicators and margin marks of the problems.
    static constexpr int kErrorIndicator = 20;
    static constexpr int kWarningIndicator = 21;
    static constexpr int kErrorMarker = 8;
    static constexpr int kWarningMarker = 9;
    // The user list of the server's completion items.
    static constexpr int kCompletionList = 7;

    // The messages take Find References' rows.
    SourceIntelligence(CTarnView& view, CodeIntelligence* code, MessageChannel* messages);
    ~SourceIntelligence() override;

    // The window's text or name is new (loaded, saved under another name):
    // the server gets it afresh.
    void reattach();
    void documentSaved();

    // LanguageDocument
    QString languagePath() const override;
    QByteArray languageText() const override;
    qsizetype languageTextSize() const override;
    bool languageTextIsUtf8() const override;
    QByteArray languageLine(int line) const override;
    void showDiagnostics(const std::vector<LspDiagnostic>& diagnostics) override;

    // True when a server has the window's file (completion and the jumps
    // go to it; otherwise the window's own word completion is used).
    bool served() const;

    // How many times the server has reported the file's problems (it does
    // once the file is understood, then after each change).
    int diagnosticsReports() const { return m_reports; }

    // The problems shown, in the order of the text.
    struct Problem {
        long start = 0;
        long end = 0;
        LspSeverity severity = LspSeverity::Error;
        QString message;
    };
    std::vector<Problem> problems() const;
    // F8 / Shift+F8: selects the next (previous) problem after (before)
    // the caret, round the end of the text, and shows its text in the
    // status bar. False when there is none.
    bool goToProblem(bool forward);
    // The text of the problems at a byte position, one a line; empty for
    // none.
    QString problemTextAt(long position) const;

    // Completion from the server at the caret (Ctrl+Space, and after
    // ".", "->" and "::"); false when no server has the file.
    bool complete(bool typedTrigger = false);
    bool completionOpen() const;
    // The list narrows to what is typed since it opened.
    void narrowCompletion();
    // Inserts the item at index `shown` of the list as shown.
    void insertCompletion(int shown);

    // The Source menu: jumps and lists; each says in the status bar why
    // when it cannot.
    void goToDefinition(bool declaration = false);
    void goToDefinitionAt(long position, bool declaration = false);
    void switchHeaderSource();
    void findReferences();
    void renameSymbol();

    // Called for each character the control added (trigger characters).
    void onCharAdded(int character);
    // The navigation history (Alt+Left / Alt+Right).
    static void goBack(CTarnView& from);
    static void goForward(CTarnView& from);

protected:
    // Ctrl+click on a name goes to its definition.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onModified(int position, int type, const char* text, int length);
    void flushChanges();
    void showStatus(const QString& text) const;
    LspPosition lspPosition(long position) const;
    long position(const LspPosition& at) const;
    void showCompletion(LspCompletion& completion, long anchor);
    void showSignatureHelp();
    void onDwell(int position, int x, int y);
    QString wordAtCaret() const;
    void applyRename(std::vector<LspFileEdits>& files, const QString& error, const QString& old,
                     const QString& name);

    CTarnView& m_view;
    QPointer<CodeIntelligence> m_code;
    MessageChannel* m_messages;
    bool m_attached = false;
    QString m_attachedPath;
    std::vector<LspTextEdit> m_pending;
    bool m_flushQueued = false;
    bool m_wholeTextPending = false;
    std::vector<LspDiagnostic> m_diagnostics;
    // The server's completion: all items, those shown, where the word
    // started when the list was asked for.
    std::vector<LspCompletionItem> m_items;
    std::vector<int> m_shown;
    long m_completionAnchor = -1;
    bool m_completionOpen = false;
    int m_dwellPosition = -1;
    int m_reports = 0;
    // Whether problem marks may be in the text: clearing them walks every
    // line, needless on a text just loaded that never had any.
    bool m_problemsMarked = false;
};
