#include "editor/CTarnView.h"

#include "settings/IdeContext.h"
#include "editor/CSourceLexer.h"
#include "editor/CTarnDoc.h"
#include "editor/DebugMargin.h"
#include "editor/EditGap.h"
#include "editor/FindReplaceDialog.h"
#include "editor/LineSelection.h"
#include "editor/ScintillaEditControl.h"
#include "editor/SourceIntelligence.h"
#include "editor/SourcePrinting.h"
#include "editor/SourceText.h"
#include "framework/Application.h"
#include "framework/CommandRouter.h"
#include "framework/CommandTable.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"
#include "framework/Prompts.h"
#include "resources/CommandIds.h"

#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexermakefile.h>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QMenu>

#include <algorithm>

namespace {

// QScintilla's accessibility support turns byte positions into character
// counts from the start of the text on every insertion, deletion and screen
// update: in a UTF-8 document a walk over all the text before the caret,
// about 100 ms per key near the end of a file of a million lines. While no
// assistive technology listens, a source view offers a plain accessible
// widget instead, and asks its control for the before-change events only
// (the insert and delete events are the ones that start the walk).
QAccessibleInterface* plainSourceAccessible(const QString& className, QObject* object)
{
    if (className != QLatin1String("CTarnView") || QAccessible::isActive())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::EditableText);
}

void keepKeystrokesCheap(QsciScintillaBase* control)
{
    // Installed after QScintilla's own factory, so asked first.
    static const bool installed = [] {
        QAccessible::installFactory(plainSourceAccessible);
        return true;
    }();
    (void)installed;
    if (!QAccessible::isActive()) {
        control->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK,
                               static_cast<unsigned long>(QsciScintillaBase::SC_MOD_BEFOREINSERT
                                                          | QsciScintillaBase::SC_MOD_BEFOREDELETE));
    }
}

} // namespace

CTarnView::CTarnView(const IdeContext& context, QWidget* parent)
    : QsciScintilla(parent), m_context(context), m_editControl(std::make_unique<ScintillaEditControl>(this))
{
    // Build settings start afresh with every window.
    compileOptions.debugInfo = m_context.settings().debugDefault;

    colourAs(wantedKind());
    setUtf8(true);
    setEolMode(EolUnix);
    setWrapMode(WrapNone);
    setAutoIndent(false);
    setIndentationsUseTabs(true);
    setTabWidth(4);
    // The breakpoint margin: a click sets or clears a breakpoint.
    debugmargin::Install(this);
    connect(this, &QsciScintilla::marginClicked, this,
            [this](int margin, int line, Qt::KeyboardModifiers) {
                if (margin == debugmargin::kMargin && m_breakpointBook)
                    m_breakpointBook->toggle(
                        this, fw::View::document() ? fw::View::document()->pathName() : QString(),
                        line);
            });
    // Line numbers, as wide as the largest number needs; the brace that
    // matches the one at the caret, and one without a partner in red; the
    // caret's line in a faint tint (left off on the debugger's stop and
    // caller lines, whose bands it would hide).
    setMarginType(0, NumberMargin);
    fitNumberMargin();
    // (The control reports only the before-change events, see
    // keepKeystrokesCheap: the width is checked once the change is done.)
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, [this] {
        if (m_numberCheckPending)
            return;
        m_numberCheckPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_numberCheckPending = false;
                fitNumberMargin();
            },
            Qt::QueuedConnection);
    });
    setBraceMatching(SloppyBraceMatch);
    setMatchedBraceBackgroundColor(QColor(0xc8, 0xf0, 0xc8));
    setMatchedBraceForegroundColor(QColor(0x00, 0x00, 0x00));
    setUnmatchedBraceBackgroundColor(QColor(0xff, 0xd0, 0xd0));
    setUnmatchedBraceForegroundColor(QColor(0xc0, 0x00, 0x00));
    debugmargin::ShowCaretLine(this, true);
    setCaretLineBackgroundColor(QColor(0xf2, 0xf5, 0xfb));
    // Note: without the insert and delete events QsciScintilla's textChanged
    // is not emitted; listen to SCN_MODIFIED (its before-events) instead.
    keepKeystrokesCheap(this);
    // In a large text the gap follows the caret in idle time.
    auto* gap = new EditGapFollower(this);
    connect(this, &QsciScintilla::cursorPositionChanged, gap, &EditGapFollower::caretMoved);
    registerCommands();
}

CTarnView::~CTarnView()
{
    // It reads the control and the document as it detaches: first.
    m_intelligence.reset();
    // The edit control listens to this widget; drop it before the widget goes.
    m_editControl.reset();
    if (m_breakpointBook)
        m_breakpointBook->detach(this);
}

CTarnDoc* CTarnView::sourceDocument() const
{
    return qobject_cast<CTarnDoc*>(fw::View::document());
}

void CTarnView::registerCommands()
{
    onCommand(fw::id::EditUndo, [this] { undo(); });
    onUpdateEnabled(fw::id::EditUndo, [this] { return isUndoAvailable(); });
    onCommand(fw::id::EditCut, [this] { cut(); });
    onUpdateEnabled(fw::id::EditCut, [this] { return hasSelectedText(); });
    onCommand(fw::id::EditCopy, [this] { copy(); });
    onUpdateEnabled(fw::id::EditCopy, [this] { return hasSelectedText(); });
    onCommand(fw::id::EditPaste, [this] { paste(); });
    onUpdateEnabled(fw::id::EditPaste, [this] { return SendScintilla(SCI_CANPASTE) != 0; });
    onCommand(cmd::EditDelete, [this] { removeSelectedText(); });
    onUpdateEnabled(cmd::EditDelete, [this] { return hasSelectedText(); });
    onCommand(fw::id::EditSelectAll, [this] { selectAll(); });
    onCommand(cmd::EditSelectAllText, [this] { selectAll(); });

    onCommand(fw::id::EditFind, [this] { showFindDialog(false); });
    onCommand(cmd::FindInSource, [this] { showFindDialog(false); });
    onCommand(fw::id::EditReplace, [this] { showFindDialog(true); });
    onCommand(cmd::FindReplaceInSource, [this] { showFindDialog(true); });
    onCommand(fw::id::EditRepeat, [this] {
        if (m_hasSearched && !m_lastFind.text.isEmpty())
            findNext(m_lastFind);
        else
            showFindDialog(false);
    });

    onCommand(fw::id::FilePrint, [this] { printSource(this); });
    onCommand(fw::id::FilePrintPreview, [this] { previewSource(this); });

    registerAidCommands();

    // Undo, Cut, Copy and Paste follow the text and the selection (the
    // refresh is coalesced to one per turn of the event loop).
    auto refreshCommands = [this] {
        if (fw::MdiMainFrame* frame = mainFrame())
            frame->router()->requestUpdate();
    };
    connect(this, &QsciScintilla::selectionChanged, this, refreshCommands);
    connect(this, &QsciScintilla::textChanged, this, refreshCommands);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, refreshCommands);
}

void CTarnView::onInitialUpdate()
{
    CTarnDoc* doc = sourceDocument();
    const bool modified = doc && doc->isModified();
    // Colouring and fonts first: styling an empty control costs nothing.
    colourAs(wantedKind());
    applySourceFont();
    if (doc && doc->hasPendingText())
        loadText(doc->takePendingText());
    connectDocument();
    if (doc && !doc->pathName().isEmpty() && m_breakpointBook)
        m_breakpointBook->attach(this, doc->pathName());

    setWrapMode(WrapNone);
    setTabWidth(4);

    // Keys of Tarn's own command table go through the command routing, not
    // the control's built-in key map (which would swallow Ctrl+L and co.).
    if (fw::MdiMainFrame* frame = mainFrame()) {
        for (const fw::CommandInfo& info : frame->commandTable()->commands()) {
            for (const QKeySequence& keys : info.keys) {
                const int key = keys[0].toCombined();
                if (QsciCommand* command = standardCommands()->boundTo(key)) {
                    if (command->key() == key)
                        command->setKey(0);
                    else
                        command->setAlternateKey(0);
                }
            }
        }
    }
    if (doc)
        doc->setModified(modified);
}

void CTarnView::applySourceFont()
{
    const QFont& font = m_context.settings().sourceFont;
    // Every style in the source font, colours only; the lexer passes each
    // style's new font on to the control. (Attaching the lexer again would
    // restyle the whole text, seconds on a big file.)
    if (m_lexer) {
        m_lexer->setDefaultFont(font);
        m_lexer->setFont(font, -1);
    }
    // And every other style of the control (the default, plain text, the
    // line numbers, braces, styles a former lexer left), colours kept: the
    // line height is that of the largest style, so one left behind would
    // keep an old height. Family, size, weight and slant as QScintilla
    // gives a lexer's style (the weight is Qt's, passed as a negative).
    const QByteArray family = font.family().toUtf8();
    const long size = long(font.pointSizeF() * int(SC_FONT_SIZE_MULTIPLIER));
    for (unsigned long style = 0; style <= STYLE_MAX; ++style) {
        SendScintilla(SCI_STYLESETFONT, style, family.constData());
        SendScintilla(SCI_STYLESETSIZEFRACTIONAL, style, size);
        SendScintilla(SCI_STYLESETWEIGHT, style, long(-font.weight()));
        SendScintilla(SCI_STYLESETITALIC, style, long(font.italic()));
    }
    if (!m_lexer)
        SendScintilla(SCI_STYLECLEARALL);
    setMarginsFont(font);
    m_numberDigits = 0;
    fitNumberMargin();
}

namespace {
CTarnView::ProjectOptionsLookup& projectOptionsLookup()
{
    static CTarnView::ProjectOptionsLookup lookup;
    return lookup;
}
} // namespace

void CTarnView::setProjectOptionsLookup(ProjectOptionsLookup lookup)
{
    projectOptionsLookup() = std::move(lookup);
}

QString CTarnView::colouringOptions() const
{
    const CTarnDoc* doc = sourceDocument();
    if (doc && !doc->pathName().isEmpty() && projectOptionsLookup()) {
        if (const std::optional<QString> options = projectOptionsLookup()(doc->pathName()))
            return *options;
    }
    return compileOptions.otherOptions;
}

void CTarnView::updateColouringContext()
{
    auto* source = qobject_cast<CSourceLexer*>(m_lexer);
    if (!source)
        return;
    const CTarnDoc* doc = sourceDocument();
    source->setLanguage(SourceLanguageOf(doc ? doc->pathName() : QString()));
    source->setCompileOptions(colouringOptions());
}

void CTarnView::colourAs(SourceKind kind)
{
    if (kind == m_kind && (m_lexer || kind == SourceKind::Text)) {
        updateColouringContext();
        return;
    }
    m_kind = kind;
    QsciLexer* lexer = nullptr;
    if (kind == SourceKind::C) {
        // QsciLexerCPP's styles, greying code "#if" certainly leaves out.
        const CTarnDoc* doc = sourceDocument();
        auto* source = new CSourceLexer(this, SourceLanguageOf(doc ? doc->pathName() : QString()));
        source->setCompileOptions(colouringOptions());
        lexer = source;
    }
    else if (kind == SourceKind::Makefile)
        lexer = new QsciLexerMakefile(this);
    setLexer(lexer);
    delete m_lexer;
    m_lexer = lexer;
    if (!lexer) // plain text: the old colours go with the lexer
        SendScintilla(SCI_CLEARDOCUMENTSTYLE);
    // No fold margin is shown: fold levels would only slow the styling of
    // a long file by about a third (Ctrl+End in 50 MB).
    if (lexer)
        SendScintilla(SCI_SETPROPERTY, "fold", "0");
    applySourceFont();
}

SourceKind CTarnView::wantedKind() const
{
    if (!m_context.settings().editor.syntaxColouring)
        return SourceKind::Text;
    // An untitled window (and one not yet in a document) holds C.
    const CTarnDoc* doc = sourceDocument();
    return SourceKindOf(doc ? doc->pathName() : QString());
}

void CTarnView::applyEditorSwitches()
{
    colourAs(wantedKind());
    fitNumberMargin();
}

void CTarnView::fitNumberMargin()
{
    if (!m_context.settings().editor.lineNumbers) {
        m_numberDigits = 0;
        if (marginWidth(0) != 0)
            setMarginWidth(0, 0);
        return;
    }
    int digits = 1;
    for (int lines = this->lines(); lines >= 10; lines /= 10)
        ++digits;
    if (digits == m_numberDigits)
        return;
    m_numberDigits = digits;
    // One digit to spare, so the numbers do not touch the text.
    setMarginWidth(0, QString(digits + 1, u'9'));
}

void CTarnView::connectDocument()
{
    CTarnDoc* doc = sourceDocument();
    if (!doc || m_documentConnected)
        return;
    m_documentConnected = true;
    connect(this, &QsciScintilla::modificationChanged, doc, [doc](bool modified) {
        doc->setModified(modified);
    });
    // A save clears the document's flag; the control then marks its save point.
    // Save As may give the file another kind.
    connect(doc, &fw::Document::titleChanged, this, [this] {
        colourAs(wantedKind());
        if (m_intelligence)
            m_intelligence->documentSaved();
    });
    connect(doc, &fw::Document::modifiedChanged, this, [this](bool modified) {
        if (!modified && isModified())
            setModified(false);
        if (!modified && m_intelligence)
            m_intelligence->documentSaved();
    });
}

void CTarnView::loadText(const QByteArray& bytes)
{
    const bool utf8 = sourcetext::isValidUtf8(bytes);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
    setUtf8(utf8);
    switch (sourcetext::firstLineBreak(bytes).value_or(sourcetext::LineBreak::Lf)) {
    case sourcetext::LineBreak::CrLf: setEolMode(EolWindows); break;
    case sourcetext::LineBreak::Lf: setEolMode(EolUnix); break;
    case sourcetext::LineBreak::Cr: setEolMode(EolMac); break;
    }
    // Appended with its length, so zero bytes are kept. Room to grow is
    // reserved beyond the text (an eighth, at least 64 KiB): without it the
    // first keystroke in a large file reallocates and copies the whole text
    // and its styles.
    const qsizetype room = std::max<qsizetype>(bytes.size() / 8, 64 * 1024);
    SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(bytes.size() + room));
    // No change notifications while the text goes in: their handlers would
    // see the whole file at once. The edit control starts afresh instead.
    const long eventMask = SendScintilla(SCI_GETMODEVENTMASK);
    SendScintilla(SCI_SETMODEVENTMASK, 0UL);
    SendScintilla(SCI_APPENDTEXT, static_cast<uintptr_t>(bytes.size()), bytes.constData());
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(eventMask));
    // The caret starts at the top, where the first key most likely goes:
    // the control's gap is moved there now, so that key moves no text.
    if (bytes.size() > 1024 * 1024)
        MoveEditGap(*this, 0);
    m_editControl->textChangedAt(0);
    if (auto* source = qobject_cast<CSourceLexer*>(lexer()))
        source->scheduleAhead();
    fitNumberMargin();
    if (m_intelligence)
        m_intelligence->reattach();
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    SendScintilla(SCI_GOTOPOS, 0UL);
}

void CTarnView::selectReportedLine(int line)
{
    ::selectReportedLine(*m_editControl, line);
    centreCaretLine();
    setFocus();
}

void CTarnView::selectReportedMatch(int line, const QRegularExpression& pattern)
{
    ::selectReportedMatch(*m_editControl, line, pattern);
    centreCaretLine();
    setFocus();
}

void CTarnView::setCodeIntelligence(CodeIntelligence* code, MessageChannel* messages)
{
    m_intelligence.reset();
    if (!code)
        return;
    m_intelligence = std::make_unique<SourceIntelligence>(*this, code, messages);
    if (fw::View::document() && !fw::View::document()->pathName().isEmpty())
        m_intelligence->reattach();
}

void CTarnView::showRange(long from, long to)
{
    SendScintilla(SCI_SETSEL, from, to);
    centreCaretLine();
    setFocus();
}

void CTarnView::centreCaretLine()
{
    // Sideways as little as needed; up or down so that the line has as
    // much text above it as below (the first lines stay at the top).
    SendScintilla(SCI_SCROLLCARET);
    const long line = SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS));
    const long shown = SendScintilla(SCI_VISIBLEFROMDOCLINE, line);
    const long onScreen = SendScintilla(SCI_LINESONSCREEN);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, std::max(0L, shown - onScreen / 2));
}

bool CTarnView::RequireSavedFile()
{
    CTarnDoc* doc = sourceDocument();
    if (!doc || doc->pathName().isEmpty()) {
        fw::messageBox(this, QStringLiteral("Please save the file before Continuing"));
        return false;
    }
    // Yes saves; No and Cancel go on with what is on disk.
    if (doc->isModified())
        doc->canCloseFrame(parentFrame());
    return true;
}

void CTarnView::setToolCommands(ToolCommand quickCompile, ToolCommand buildSource)
{
    onCommand(cmd::QuickCompile, [this, quickCompile] { quickCompile(*this); });
    onCommand(cmd::BuildSource, [this, buildSource] { buildSource(*this); });
}

void CTarnView::setBreakpointBook(BreakpointBook* book)
{
    m_breakpointBook = book;
}

void CTarnView::contextMenuEvent(QContextMenuEvent* event)
{
    if (fw::MdiChildFrame* frame = parentFrame())
        frame->activate();
    // The place the menu is about: under the mouse, or the caret's.
    long position = SendScintilla(SCI_GETCURRENTPOS);
    long onText = position;
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QPoint at = viewport()->mapFromGlobal(event->globalPos());
        position = SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(at.x()),
                                 static_cast<long>(at.y()));
        // (-1 away from any text: no word there)
        onText = SendScintilla(SCI_POSITIONFROMPOINTCLOSE, static_cast<unsigned long>(at.x()),
                               static_cast<long>(at.y()));
    }
    m_contextLine = int(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position)));
    m_contextWord = identifierAt(onText);
    fw::MdiMainFrame* main = mainFrame();
    QMenu* menu = main ? main->createContextMenu(menu::SourceContext, main) : nullptr;
    if (menu) {
        // The debugger's items follow while a session runs (their commands
        // are handled only then).
        if (main->router()->isEnabled(cmd::DebugBreakpointHere)) {
            if (QMenu* debugItems = main->createContextMenu(menu::SourceDebugContext, menu)) {
                menu->addSeparator();
                menu->addActions(debugItems->actions());
            }
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPos());
    }
    event->accept();
}

QByteArray CTarnView::byteRange(long from, long to) const
{
    from = std::max(0L, from);
    to = std::min(to, long(SendScintilla(SCI_GETLENGTH)));
    if (to <= from)
        return {};
    QByteArray bytes(to - from + 1, Qt::Uninitialized);
    SendScintilla(SCI_GETTEXTRANGE, from, to, bytes.data());
    bytes.chop(1);
    return bytes;
}

QByteArray CTarnView::textCopy() const
{
    const TextPieces pieces = textPieces();
    QByteArray bytes;
    bytes.reserve(pieces.size());
    bytes.append(pieces.first);
    bytes.append(pieces.second);
    return bytes;
}

TextPieces CTarnView::textPieces() const
{
    // Each side of the gap is read where it lies.
    const long length = SendScintilla(SCI_GETLENGTH);
    const long gap = std::clamp(long(SendScintilla(SCI_GETGAPPOSITION)), 0L, length);
    auto piece = [this](long from, long size) {
        if (size <= 0)
            return QByteArrayView();
        return QByteArrayView(
            reinterpret_cast<const char*>(SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), size)),
            size);
    };
    return {piece(0, gap), piece(gap, length - gap)};
}

QString CTarnView::identifierAt(long position) const
{
    auto isWordByte = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    };
    const TextPieces text = textPieces();
    if (position < 0 || position > text.size())
        return {};
    qsizetype start = position;
    qsizetype end = position;
    while (start > 0 && isWordByte(text.at(start - 1)))
        --start;
    while (end < text.size() && isWordByte(text.at(end)))
        ++end;
    // A number is not a name to watch.
    if (start == end || (text.at(start) >= '0' && text.at(start) <= '9'))
        return {};
    return QString::fromLatin1(byteRange(start, end));
}
