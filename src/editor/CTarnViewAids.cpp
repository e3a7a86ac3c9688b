// The editing aids of the source view: typing rules, skeletons, comment,
// dates, Go To Line and Go To Function.
#include "editor/CTarnView.h"

#include "settings/IdeContext.h"
#include "editor/CFunctionDialog.h"
#include "editor/CGotoLineDialog.h"
#include "editor/CTarnDoc.h"
#include "editor/ScintillaEditControl.h"
#include "editor/SourceIndent.h"
#include "editor/SourceIntelligence.h"
#include "editor/SourceInsertions.h"
#include "editor/SourceNavigation.h"
#include "editor/SourceScanner.h"
#include "editor/SourceText.h"
#include "framework/Prompts.h"
#include "resources/CommandIds.h"

#include <QKeyEvent>
#include <QLocale>

void CTarnView::registerAidCommands()
{
    onCommand(cmd::InsertIf, [this] { OnInsertIf(); });
    onCommand(cmd::InsertIfElse, [this] { OnInsertIfElse(); });
    onCommand(cmd::InsertWhile, [this] { OnInsertWhile(); });
    onCommand(cmd::InsertDoWhile, [this] { OnInsertDoWhile(); });
    onCommand(cmd::InsertFor, [this] { OnInsertFor(); });
    onCommand(cmd::InsertSwitch, [this] { OnInsertSwitch(); });
    onCommand(cmd::Comment, [this] { OnComment(); });
    onCommand(cmd::InsertDate, [this] { OnInsertDate(); });
    onCommand(cmd::InsertDateTime, [this] { OnInsertDateTime(); });
    onCommand(cmd::GoToLine, [this] { OnGoToLine(); });
    onCommand(cmd::GoToFunction, [this] { OnGoToFunction(); });
    // Code intelligence: each says in the status bar when no server has
    // the window's file.
    const std::pair<int, std::function<void(SourceIntelligence&)>> language[] = {
        {cmd::GoToDefinition, [](SourceIntelligence& s) { s.goToDefinition(); }},
        {cmd::GoToDeclaration, [](SourceIntelligence& s) { s.goToDefinition(true); }},
        {cmd::FindReferences, [](SourceIntelligence& s) { s.findReferences(); }},
        {cmd::SwitchHeaderSource, [](SourceIntelligence& s) { s.switchHeaderSource(); }},
        {cmd::RenameSymbol, [](SourceIntelligence& s) { s.renameSymbol(); }},
        {cmd::NextProblem, [](SourceIntelligence& s) { s.goToProblem(true); }},
        {cmd::PreviousProblem, [](SourceIntelligence& s) { s.goToProblem(false); }},
    };
    for (const auto& [id, action] : language) {
        onCommand(id, [this, action = action] {
            if (m_intelligence)
                action(*m_intelligence);
        });
        onUpdateEnabled(id, [this] { return m_intelligence != nullptr; });
    }
    onCommand(cmd::NavigateBack, [this] { SourceIntelligence::goBack(*this); });
    onCommand(cmd::NavigateForward, [this] { SourceIntelligence::goForward(*this); });

    connect(this, &QsciScintillaBase::SCN_CHARADDED, this, &CTarnView::OnChar);
}

void CTarnView::asOneUndoStep(const std::function<void()>& edit)
{
    SendScintilla(SCI_BEGINUNDOACTION);
    edit();
    SendScintilla(SCI_ENDUNDOACTION);
}

void CTarnView::keyPressEvent(QKeyEvent* event)
{
    // Enter and the braces with the re-indent they bring are one undo step.
    // Other keys are left alone so that typing a word stays one step.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::ControlModifier) {
        // The server's completion when one has the file, else the words.
        if (!m_intelligence || !m_intelligence->complete())
            showWordCompletion();
        event->accept();
        return;
    }
    // Esc is one of Tarn's keys, so the control's own binding is gone:
    // it closes the completion popup here.
    if (event->key() == Qt::Key_Escape && SendScintilla(SCI_AUTOCACTIVE)) {
        SendScintilla(SCI_AUTOCCANCEL);
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool brace = event->text() == QLatin1String("{") || event->text() == QLatin1String("}");
    if (!enter && !brace) {
        QsciScintilla::keyPressEvent(event);
        // The completion popup narrows to the letters typed (and widens
        // again on Backspace); the control closes it when none fits.
        const QString typed = event->text();
        const bool wordKey =
            event->key() == Qt::Key_Backspace ||
            (typed.size() == 1 && (typed.front().isLetterOrNumber() || typed.front() == u'_'));
        if (wordKey && SendScintilla(SCI_AUTOCACTIVE)) {
            if (m_intelligence && m_intelligence->completionOpen())
                m_intelligence->narrowCompletion();
            else
                narrowWordCompletion();
        }
        return;
    }
    asOneUndoStep([&] { QsciScintilla::keyPressEvent(event); });
}

void CTarnView::OnChar(int character)
{
    if (m_intelligence)
        m_intelligence->onCharAdded(character);
    // Enter reports its line break one character at a time: CR LF as '\r'
    // then '\n'. The rules run once, on the first.
    char typed = 0;
    if (character == '\r' || (character == '\n' && SendScintilla(SCI_GETEOLMODE) == SC_EOL_LF))
        typed = kEnterChar;
    else if (character == '{' || character == '}')
        typed = char(character);
    else
        return;
    const IdeSettings& settings = m_context.settings();
    ApplyTypingRules(*m_editControl, typed,
                     {settings.keepLevelAfterSemicolon == 1, settings.moveBraces == 1});
}

void CTarnView::insertTemplate(StatementTemplate kind)
{
    asOneUndoStep([this, kind] { InsertStatementTemplate(*m_editControl, kind); });
    SendScintilla(SCI_SCROLLCARET);
}

void CTarnView::OnInsertIf() { insertTemplate(StatementTemplate::If); }
void CTarnView::OnInsertIfElse() { insertTemplate(StatementTemplate::IfElse); }
void CTarnView::OnInsertWhile() { insertTemplate(StatementTemplate::While); }
void CTarnView::OnInsertDoWhile() { insertTemplate(StatementTemplate::DoWhile); }
void CTarnView::OnInsertFor() { insertTemplate(StatementTemplate::For); }
void CTarnView::OnInsertSwitch() { insertTemplate(StatementTemplate::Switch); }

void CTarnView::OnComment()
{
    asOneUndoStep([this] { CommentSelection(*m_editControl); });
}

void CTarnView::insertText(const QString& text)
{
    const std::optional<QByteArray> bytes = encode(text);
    if (!bytes) {
        reportUnwritable(text);
        return;
    }
    asOneUndoStep([&] { m_editControl->replaceSelection(*bytes); });
}

void CTarnView::OnInsertDate()
{
    insertText(FormatInsertDate(dateClock(), QLocale::system()));
}

void CTarnView::OnInsertDateTime()
{
    insertText(FormatInsertDateTime(dateClock(), QLocale::system()));
}

void CTarnView::OnGoToLine()
{
    CGotoLineDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    GoToLineNumber(*m_editControl, ParseLineNumber(dialog.lineText));
    centreCaretLine();
}

void CTarnView::OnGoToFunction()
{
    if (!RequireSavedFile())
        return;
    // The file on disk, whatever the answer to the save question was.
    const std::optional<QByteArray> bytes = readSourceFile(sourceDocument()->pathName());
    if (!bytes) {
        fw::messageBox(this, QStringLiteral("could not open the file!"));
        return;
    }
    const std::vector<ScannedDefinition> definitions = ScanDefinitions(*bytes);
    QStringList names;
    std::vector<int> lines;
    for (const ScannedDefinition& d : definitions) {
        if (names.size() == kMaxScannedDefinitions)
            break;
        names << (sourcetext::isValidUtf8(d.name) ? QString::fromUtf8(d.name) : QString::fromLatin1(d.name));
        lines.push_back(d.line);
    }
    CFunctionDialog dialog(names, lines, int(definitions.size()), this);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedLine < 0)
        return;
    // The text may have fewer lines now: the last line then.
    GoToLineNumber(*m_editControl, dialog.selectedLine + 1);
    centreCaretLine();
    setFocus();
}

void CTarnView::goToSourceLine(int line)
{
    ::GoToSourceLine(*m_editControl, line);
    setFocus();
}
