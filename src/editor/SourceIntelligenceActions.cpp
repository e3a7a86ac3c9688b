// What a source window asks its language server for: completion, signature
// hints, the jumps, the references and renames.
#include "editor/SourceIntelligence.h"

#include "editor/CTarnView.h"
#include "framework/Application.h"
#include "framework/Document.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "framework/Prompts.h"
#include "framework/SafeSave.h"
#include "language/SourceEdits.h"
#include "messages/MessageClassifier.h"
#include "messages/MessageSink.h"
#include "tools/PathBytes.h"
#include "tools/PathNames.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Kinds of the protocol's completion items, as the list shows them.
QString kindName(int kind)
{
    switch (kind) {
    case 2: case 3: case 4: return QStringLiteral("function");
    case 5: return QStringLiteral("field");
    case 6: return QStringLiteral("variable");
    case 7: case 22: return QStringLiteral("struct");
    case 8: return QStringLiteral("interface");
    case 9: return QStringLiteral("namespace");
    case 10: return QStringLiteral("property");
    case 13: return QStringLiteral("enum");
    case 14: return QStringLiteral("keyword");
    case 15: return QStringLiteral("snippet");
    case 17: return QStringLiteral("file");
    case 20: return QStringLiteral("enumerator");
    case 21: return QStringLiteral("constant");
    case 25: return QStringLiteral("type");
    default: return QString();
    }
}

constexpr std::size_t kMaxShownItems = 200;

QString counted(qsizetype count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

bool isWordByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
           || static_cast<unsigned char>(c) >= 0x80;
}

CTarnView* openSource(fw::Application* application, const QString& path)
{
    fw::Document* document = application ? application->openDocumentFile(path) : nullptr;
    return document ? dynamic_cast<CTarnView*>(document->firstView()) : nullptr;
}

NavigationHistory::Place placeOf(CTarnView& view)
{
    int line = 0;
    int index = 0;
    view.getCursorPosition(&line, &index);
    const fw::Document* document = view.fw::View::document();
    const long caret = view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long lineStart = view.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    return {document ? document->pathName() : QString(), line, int(caret - lineStart)};
}

void goToPlace(fw::Application* application, const NavigationHistory::Place& place)
{
    CTarnView* view = openSource(application, place.path);
    if (!view)
        return;
    const long lineStart = view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, place.line);
    const long lineEnd = view->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, place.line);
    const long at = std::min(lineStart + place.column, lineEnd);
    view->showRange(at, at);
}

} // namespace

QString SourceIntelligence::wordAtCaret() const
{
    const TextPieces text = m_view.textPieces();
    const long caret = m_view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    long start = caret;
    while (start > 0 && isWordByte(text.at(start - 1)))
        --start;
    long end = caret;
    while (end < text.size() && isWordByte(text.at(end)))
        ++end;
    return QString::fromUtf8(m_view.byteRange(start, end));
}

bool SourceIntelligence::complete(bool typedTrigger)
{
    if (!served())
        return false;
    flushChanges();
    const TextPieces text = m_view.textPieces();
    const long caret = m_view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    long anchor = caret;
    while (anchor > 0 && isWordByte(text.at(anchor - 1)))
        --anchor;
    m_code->complete(this, lspPosition(caret),
                     [this, anchor, typedTrigger](LspCompletion& completion, const QString& error) {
                         // The caret left the word meanwhile: not wanted.
                         const long now = m_view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
                         if (now < anchor || lspPosition(now).line != lspPosition(anchor).line)
                             return;
                         if (!error.isEmpty() || completion.items.empty()) {
                             if (!typedTrigger)
                                 showStatus(error.isEmpty() ? QStringLiteral("No completions")
                                                            : QStringLiteral("No completions: ") + error);
                             return;
                         }
                         showCompletion(completion, anchor);
                     });
    return true;
}

void SourceIntelligence::showCompletion(LspCompletion& completion, long anchor)
{
    m_items = std::move(completion.items);
    m_completionAnchor = anchor;
    narrowCompletion();
}

void SourceIntelligence::narrowCompletion()
{
    using Sci = QsciScintillaBase;
    const long caret = m_view.SendScintilla(Sci::SCI_GETCURRENTPOS);
    if (m_completionAnchor < 0 || caret < m_completionAnchor) {
        m_view.SendScintilla(Sci::SCI_AUTOCCANCEL);
        m_completionOpen = false;
        return;
    }
    const QString typed = QString::fromUtf8(m_view.byteRange(m_completionAnchor, caret));
    m_shown.clear();
    QByteArray list;
    // The best items that fit: the server ranks them, and what is typed
    // next narrows to the rest.
    for (int i = 0; i < int(m_items.size()) && m_shown.size() < kMaxShownItems; ++i) {
        const LspCompletionItem& item = m_items[i];
        if (!item.filterText.startsWith(typed, Qt::CaseInsensitive))
            continue;
        if (!list.isEmpty())
            list += '\n';
        QString shown = item.label;
        const QString kind = kindName(item.kind);
        if (!item.detail.isEmpty() || !kind.isEmpty())
            shown += QStringLiteral("  \u2014 ") + QStringList{kind, item.detail}.join(u' ').trimmed();
        list += shown.toUtf8().replace('\n', ' ');
        m_shown.push_back(i);
    }
    if (m_shown.empty()) {
        m_view.SendScintilla(Sci::SCI_AUTOCCANCEL);
        m_completionOpen = false;
        return;
    }
    m_view.SendScintilla(Sci::SCI_AUTOCSETSEPARATOR, static_cast<unsigned long>('\n'));
    // The server's order as shown; the control sorts a copy to find what
    // is typed in it.
    m_view.SendScintilla(Sci::SCI_AUTOCSETORDER, static_cast<unsigned long>(Sci::SC_ORDER_CUSTOM));
    m_view.SendScintilla(Sci::SCI_AUTOCSETIGNORECASE, 1UL);
    m_view.SendScintilla(Sci::SCI_AUTOCSETAUTOHIDE, 0UL);
    m_view.SendScintilla(Sci::SCI_USERLISTSHOW, static_cast<unsigned long>(kCompletionList), list.constData());
    m_completionOpen = true;
}

void SourceIntelligence::insertCompletion(int shown)
{
    using Sci = QsciScintillaBase;
    m_completionOpen = false;
    if (shown < 0 || shown >= int(m_shown.size()))
        return;
    const LspCompletionItem& item = m_items[m_shown[shown]];
    const long caret = m_view.SendScintilla(Sci::SCI_GETCURRENTPOS);
    // The item replaces its range (or the word typed) up to the caret as
    // it is now, and the rest of the word after it.
    long start = item.hasRange ? position(item.edit.range.start) : m_completionAnchor;
    start = std::min(start, caret);
    const TextPieces text = m_view.textPieces();
    long end = caret;
    while (end < text.size() && isWordByte(text.at(end)))
        ++end;
    const QByteArray insert = item.edit.newText.toUtf8();
    m_view.SendScintilla(Sci::SCI_BEGINUNDOACTION);
    m_view.SendScintilla(Sci::SCI_SETTARGETRANGE, start, end);
    m_view.SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(insert.size()), insert.constData());
    m_view.SendScintilla(Sci::SCI_ENDUNDOACTION);
    const long caretInText =
        item.caretInText >= 0 ? long(item.edit.newText.left(item.caretInText).toUtf8().size()) : insert.size();
    m_view.SendScintilla(Sci::SCI_GOTOPOS, start + caretInText);
    m_completionAnchor = -1;
    if (item.caretInText >= 0 && insert.contains('('))
        showSignatureHelp();
}

void SourceIntelligence::onCharAdded(int character)
{
    if (!served())
        return;
    const TextPieces text = m_view.textPieces();
    const long caret = m_view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const char before = caret >= 2 ? text.at(caret - 2) : 0;
    if (character == '.' || (character == '>' && before == '-') || (character == ':' && before == ':')) {
        complete(true);
        return;
    }
    if (character == '(' || character == ',') {
        showSignatureHelp();
        return;
    }
    if (character == ')' || character == ';')
        m_view.SendScintilla(QsciScintillaBase::SCI_CALLTIPCANCEL);
}

void SourceIntelligence::showSignatureHelp()
{
    if (!served())
        return;
    flushChanges();
    const long caret = m_view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    m_code->signatureHelp(this, lspPosition(caret), [this, caret](LspSignatureHelp& help, const QString&) {
        if (help.signatures.isEmpty()
            || m_view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS) != caret)
            return;
        const QByteArray tip = help.signatures[help.active].toUtf8();
        m_view.SendScintilla(QsciScintillaBase::SCI_CALLTIPSHOW, caret, tip.constData());
    });
}

void SourceIntelligence::goToDefinition(bool declaration)
{
    goToDefinitionAt(m_view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), declaration);
}

void SourceIntelligence::goToDefinitionAt(long at, bool declaration)
{
    const QString what = declaration ? QStringLiteral("declaration") : QStringLiteral("definition");
    if (!served()) {
        showStatus(QStringLiteral("Go to %1 needs a language server for this file").arg(what));
        return;
    }
    flushChanges();
    const NavigationHistory::Place from = placeOf(m_view);
    m_code->locate(this, QStringLiteral("textDocument/") + what, lspPosition(at),
                   [this, from, what](std::vector<LspLocation>& locations, const QString& error) {
                       if (locations.empty()) {
                           showStatus(error.isEmpty() ? QStringLiteral("No %1 found").arg(what)
                                                      : QStringLiteral("No %1: %2").arg(what, error));
                           return;
                       }
                       const LspLocation& target = locations.front();
                       CTarnView* view = openSource(m_view.application(), target.path);
                       if (!view)
                           return;
                       if (m_code)
                           m_code->history().jumped(from);
                       SourceIntelligence* other = view->intelligence();
                       const long start = other ? other->position(target.range.start) : 0;
                       const long end = other ? other->position(target.range.end) : 0;
                       view->showRange(start, end);
                   });
}

void SourceIntelligence::switchHeaderSource()
{
    if (!served()) {
        showStatus(QStringLiteral("Switch Header/Source needs a language server for this file"));
        return;
    }
    const NavigationHistory::Place from = placeOf(m_view);
    m_code->switchSourceHeader(this, [this, from](QString& path, const QString& error) {
        if (path.isEmpty()) {
            showStatus(error.isEmpty() ? QStringLiteral("No matching header or source found")
                                       : QStringLiteral("Switch Header/Source: ") + error);
            return;
        }
        if (openSource(m_view.application(), path) && m_code)
            m_code->history().jumped(from);
    });
}

void SourceIntelligence::goBack(CTarnView& from)
{
    SourceIntelligence* self = from.intelligence();
    if (!self || !self->m_code)
        return;
    if (auto place = self->m_code->history().back(placeOf(from)))
        goToPlace(from.application(), *place);
}

void SourceIntelligence::goForward(CTarnView& from)
{
    SourceIntelligence* self = from.intelligence();
    if (!self || !self->m_code)
        return;
    if (auto place = self->m_code->history().forward(placeOf(from)))
        goToPlace(from.application(), *place);
}

void SourceIntelligence::findReferences()
{
    if (!served()) {
        showStatus(QStringLiteral("Find References needs a language server for this file"));
        return;
    }
    flushChanges();
    const QString name = wordAtCaret();
    const long caret = m_view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    QString folder = languagePath();
    folder = folder.left(folder.lastIndexOf(u'/'));
    m_code->locate(
        this, QStringLiteral("textDocument/references"), lspPosition(caret),
        [this, name, folder](std::vector<LspLocation>& locations, const QString& error) {
            if (!m_messages)
                return;
            MessageBatcher batch(*m_messages);
            batch.add(QStringLiteral("References to \"%1\"").arg(name), 0);
            if (!error.isEmpty()) {
                batch.add(QStringLiteral("Error: ") + error, 1);
                batch.post();
                return;
            }
            const QByteArray rows = ReferenceRows(locations, folder, [this](const QString& path, int line) {
                return m_code ? m_code->lineOf(path, line) : QByteArray();
            });
            batch.addStreamRows(rows, false, folder, IconMatch);
            QSet<QString> files;
            for (const LspLocation& location : locations)
                files.insert(location.path);
            batch.add(QStringLiteral("%1 in %2").arg(counted(qsizetype(locations.size()), "reference", "references"),
                                                      counted(files.size(), "file", "files")),
                      1);
            batch.post();
        });
}

namespace {

bool isIdentifier(const QString& name)
{
    if (name.isEmpty() || name.front().isDigit())
        return false;
    for (QChar c : name)
        if (!(c.isLetterOrNumber() || c == u'_') || c.unicode() > 0x7f)
            return false;
    return true;
}

// The open source window of a file, if any.
CTarnView* openView(fw::MdiMainFrame* frame, const QString& path)
{
    if (!frame)
        return nullptr;
    for (fw::MdiChildFrame* child : frame->childFrames()) {
        auto* view = dynamic_cast<CTarnView*>(child->view());
        if (view && view->fw::View::document() && view->fw::View::document()->pathName() == path)
            return view;
    }
    return nullptr;
}

} // namespace

void SourceIntelligence::renameSymbol()
{
    if (!served()) {
        showStatus(QStringLiteral("Rename Symbol needs a language server for this file"));
        return;
    }
    const QString old = wordAtCaret();
    if (old.isEmpty()) {
        showStatus(QStringLiteral("Put the caret on the name to rename"));
        return;
    }
    const std::optional<QString> typed = fw::Prompts::current().askText(
        &m_view, QStringLiteral("Rename Symbol"), QStringLiteral("New name for %1:").arg(old), old);
    if (!typed || typed->trimmed() == old)
        return;
    const QString name = typed->trimmed();
    if (!isIdentifier(name)) {
        fw::messageBox(&m_view, QStringLiteral("\"%1\" is not a name a C program can use.").arg(name));
        return;
    }
    flushChanges();
    const long caret = m_view.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    m_code->rename(this, lspPosition(caret), name,
                   [this, old, name](std::vector<LspFileEdits>& files, const QString& error) {
                       applyRename(files, error, old, name);
                   });
}

void SourceIntelligence::applyRename(std::vector<LspFileEdits>& files, const QString& error,
                                     const QString& old, const QString& name)
{
    if (!error.isEmpty() || files.empty()) {
        fw::messageBox(&m_view, error.isEmpty()
                                    ? QStringLiteral("Nothing to rename: %1 is not a name clangd knows here.").arg(old)
                                    : QStringLiteral("Rename Symbol failed: %1").arg(error));
        return;
    }
    fw::MdiMainFrame* frame = m_view.mainFrame();
    // The preview, and every file checked before anything changes.
    QStringList rows;
    for (const LspFileEdits& file : files)
        for (const LspTextEdit& edit : file.edits)
            rows << QStringLiteral("%1:%2: %3")
                        .arg(PathForDisplay(file.path))
                        .arg(edit.range.start.line + 1)
                        .arg(QString::fromUtf8(m_code ? m_code->lineOf(file.path, edit.range.start.line)
                                                      : QByteArray())
                                 .trimmed());
    const ClosedFileEdits closed = PlanClosedFileEdits(
        files, [frame](const QString& path) { return openView(frame, path) != nullptr; }, UnwritableReason);
    if (!closed.problem.isEmpty()) {
        fw::messageBox(&m_view, QStringLiteral("Rename Symbol changed nothing: %1.").arg(closed.problem),
                       fw::Prompts::Icon::Error);
        return;
    }
    if (!fw::Prompts::current().confirmList(
            &m_view, QStringLiteral("Rename Symbol"),
            QStringLiteral("Rename %1 to %2: %3 in %4 change.")
                .arg(old, name, counted(rows.size(), "place", "places"),
                     counted(qsizetype(files.size()), "file", "files")),
            rows))
        return;
    for (const LspFileEdits& file : files) {
        CTarnView* view = openView(frame, file.path);
        if (!view)
            continue;
        std::vector<LspTextEdit> edits = file.edits;
        // Back to front, so each edit's place is still where it was.
        std::sort(edits.begin(), edits.end(), [](const LspTextEdit& a, const LspTextEdit& b) {
            return b.range.start < a.range.start;
        });
        SourceIntelligence* other = view->intelligence();
        if (!other)
            continue;
        view->SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
        for (const LspTextEdit& edit : edits) {
            const QByteArray bytes = edit.newText.toUtf8();
            view->SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, other->position(edit.range.start),
                                other->position(edit.range.end));
            view->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET,
                                static_cast<unsigned long>(bytes.size()), bytes.constData());
        }
        view->SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION);
    }
    for (const auto& [path, bytes] : closed.files) {
        QString saveError;
        if (!fw::saveFileSafely(path, bytes, &saveError))
            fw::messageBox(&m_view,
                           QStringLiteral("Rename Symbol could not save %1: %2")
                               .arg(PathForDisplay(path), saveError),
                           fw::Prompts::Icon::Error);
    }
    showStatus(QStringLiteral("Renamed %1 to %2 in %3").arg(old, name, counted(rows.size(), "place", "places")));
}
