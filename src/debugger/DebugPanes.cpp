#include "debugger/DebugPanes.h"

#include "debugger/BreakpointsPane.h"
#include "debugger/DebugSession.h"
#include "debugger/PaneColumns.h"
#include "debugger/ProgramOutputPane.h"
#include "editor/DebugMargin.h"
#include "settings/IdeContext.h"
#include "tools/PathBytes.h"
#include "tools/PathNames.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include <QDockWidget>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QToolBar>
#include <QTextCursor>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Role { ExpressionRole = Qt::UserRole, VarNameRole, FilledRole, LevelRole };

// The version of the docks' layout in the settings file: a layout saved
// with other panes is not restored.
constexpr int kLayoutVersion = 1;

QString text(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes);
}

QTreeWidget* tree(const QStringList& headers, const char* name)
{
    auto* widget = new QTreeWidget;
    widget->setObjectName(QLatin1String(name));
    widget->setHeaderLabels(headers);
    widget->setRootIsDecorated(headers.size() > 1);
    widget->setUniformRowHeights(true);
    return widget;
}

// The columns of a tree pane (made with it).
PaneColumns* columnsOf(QTreeWidget* widget)
{
    return widget->findChild<PaneColumns*>(QString(), Qt::FindDirectChildrenOnly);
}

QPlainTextEdit* textPane(const char* name)
{
    auto* pane = new QPlainTextEdit;
    pane->setObjectName(QLatin1String(name));
    pane->setReadOnly(true);
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setFont(QFont(QStringLiteral("DejaVu Sans Mono")));
    return pane;
}

QLineEdit* inputLine(const char* name, const QString& hint)
{
    auto* line = new QLineEdit;
    line->setObjectName(QLatin1String(name));
    line->setPlaceholderText(hint);
    return line;
}

QWidget* stacked(QWidget* top, QWidget* bottom)
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(top, 1);
    layout->addWidget(bottom);
    return box;
}

// A row that can be opened gets a placeholder child until it is.
void markExpandable(QTreeWidgetItem* item)
{
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    item->setData(0, FilledRole, false);
}

} // namespace

DebugPanes::DebugPanes(QMainWindow* frame, DebugSession* session, BreakpointBook* book,
                       IdeContext& context)
    : QObject(frame), m_context(context), m_session(session), m_book(book)
{
    locals = tree({QStringLiteral("Name"), QStringLiteral("Value"), QStringLiteral("Type")}, "debugLocals");
    watch = tree({QStringLiteral("Expression"), QStringLiteral("Value")}, "debugWatch");
    watchInput = inputLine("debugWatchInput", QStringLiteral("Add a watch: type an expression, press Enter"));
    stack = tree({QStringLiteral("Function"), QStringLiteral("Location")}, "debugCallStack");
    stack->setRootIsDecorated(false);
    // A path is read from its end: the file name and line stay in sight.
    stack->setTextElideMode(Qt::ElideLeft);
    m_breakpoints = new BreakpointsPane(session, book, this);
    breakpoints = m_breakpoints->tree();
    console = textPane("debugConsole");
    // The session keeps gdb's transcript within its own cap; the pane keeps
    // the newest lines, as Program Output does.
    console->setMaximumBlockCount(kConsoleLines);
    consoleInput = inputLine("debugConsoleInput", QStringLiteral("gdb command"));
    output = textPane("debugProgramOutput");
    outputPane = new ProgramOutputPane(output, kOutputLines, this);
    outputInput = inputLine("debugProgramInput", QStringLiteral("Input for the program: press Enter to send a line"));

    localsDock = addDock(frame, QStringLiteral("Locals"), "localsPane", locals, Qt::BottomDockWidgetArea);
    watchDock = addDock(frame, QStringLiteral("Watch"), "watchPane", stacked(watch, watchInput),
                        Qt::BottomDockWidgetArea);
    stackDock = addDock(frame, QStringLiteral("Call Stack"), "callStackPane", stack, Qt::BottomDockWidgetArea);
    breakpointsDock = addDock(frame, QStringLiteral("Breakpoints"), "breakpointsPane", breakpoints,
                              Qt::BottomDockWidgetArea);
    consoleDock = addDock(frame, QStringLiteral("GDB Console"), "gdbConsolePane",
                          stacked(console, consoleInput), Qt::RightDockWidgetArea);
    outputDock = addDock(frame, QStringLiteral("Program Output"), "programOutputPane",
                         stacked(output, outputInput), Qt::RightDockWidgetArea);
    // Below the sources: Locals (or Watch) beside Call Stack (or
    // Breakpoints); at the right: Program Output and the GDB Console.
    frame->splitDockWidget(localsDock, stackDock, Qt::Horizontal);
    frame->tabifyDockWidget(localsDock, watchDock);
    frame->tabifyDockWidget(stackDock, breakpointsDock);
    frame->tabifyDockWidget(outputDock, consoleDock);

    connect(session, &DebugSession::localsChanged, this, &DebugPanes::refreshLocals);
    connect(session, &DebugSession::watchesChanged, this, &DebugPanes::refreshWatches);
    connect(session, &DebugSession::framesChanged, this, &DebugPanes::refreshStack);
    connect(session, &DebugSession::breakpointsChanged, this, &DebugPanes::refreshBreakpoints);
    connect(book, &BreakpointBook::changed, this, [this] { columnsOf(breakpoints)->fit(); });
    connect(session, &DebugSession::consoleOutput, this,
            [this](const QByteArray& bytes) { appendTo(console, bytes); });
    connect(session, &DebugSession::programOutput, this,
            [this](const QByteArray& bytes) { outputPane->append(bytes); });

    connect(locals, &QTreeWidget::itemExpanded, this, &DebugPanes::expandLocal);
    connect(watchInput, &QLineEdit::returnPressed, this, [this] {
        m_session->addWatch(watchInput->text().toUtf8());
        watchInput->clear();
    });
    auto* removeWatch = new QShortcut(QKeySequence::Delete, watch, nullptr, nullptr, Qt::WidgetShortcut);
    connect(removeWatch, &QShortcut::activated, this, [this] {
        if (QTreeWidgetItem* item = watch->currentItem())
            m_session->removeWatch(watch->indexOfTopLevelItem(item));
    });
    connect(stack, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const QVariant level = item->data(0, LevelRole);
        if (level.isValid())
            emit frameChosen(level.toInt());
    });
    connect(m_breakpoints, &BreakpointsPane::breakpointChosen, this, &DebugPanes::breakpointChosen);
    connect(consoleInput, &QLineEdit::returnPressed, this, [this] {
        m_session->consoleCommand(consoleInput->text().toUtf8());
        consoleInput->clear();
    });
    connect(outputInput, &QLineEdit::returnPressed, this, [this] {
        const QByteArray line = outputInput->text().toUtf8() + '\n';
        // The terminal does not echo: the pane shows what was sent.
        outputPane->append(line);
        m_session->sendInput(line);
        outputInput->clear();
    });

    // Each tree keeps its columns fitted; the widths the user dragged in
    // an earlier run come back when the panes first show (the settings are
    // read after the main window, and so the panes, are made).
    const std::pair<QTreeWidget*, const char*> panes[] = {
        {locals, "Locals"}, {watch, "Watch"}, {stack, "Call Stack"}, {breakpoints, "Breakpoints"}};
    for (const auto& [widget, key] : panes) {
        auto* columns = new PaneColumns(widget, QLatin1String(key));
        connect(columns, &PaneColumns::userResized, this, [this] { m_columnsDragged = true; });
        m_columns.append(columns);
    }

    for (QDockWidget* dock : {localsDock, watchDock, stackDock, breakpointsDock, consoleDock, outputDock})
        dock->hide();
    refreshBreakpoints();
}

DebugPanes::~DebugPanes()
{
    // The frame may have deleted them already (it is going too).
    for (QPointer<QDockWidget> dock : m_docks)
        delete dock.data();
}

QDockWidget* DebugPanes::addDock(QMainWindow* frame, const QString& title, const char* name,
                                 QWidget* content, Qt::DockWidgetArea area)
{
    auto* dock = new QDockWidget(title, frame);
    dock->setObjectName(QLatin1String(name));
    dock->setWidget(content);
    frame->addDockWidget(area, dock);
    m_docks.append(dock);
    return dock;
}

void DebugPanes::beginSession()
{
    console->clear();
    outputPane->clear();
    for (QDockWidget* dock : {localsDock, watchDock, stackDock, breakpointsDock, consoleDock, outputDock})
        dock->show();
    layOutOnFirstShow();
    giveRoomToOutputAndLocals();
    localsDock->raise();
    stackDock->raise();
    outputDock->raise();
    refreshLocals();
    refreshStack();
    refreshWatches();
}

void DebugPanes::endSession(const QString& why)
{
    const QByteArray note = "\n[Session ended: " + why.toUtf8() + "]\n";
    appendTo(console, note);
    outputPane->append(note);
    outputPane->flush();
    refreshLocals();
    refreshStack();
    refreshBreakpoints();
}

void DebugPanes::showBreakpoints(bool shown)
{
    if (shown) {
        breakpointsDock->show();
        layOutOnFirstShow();
        breakpointsDock->raise();
    } else {
        breakpointsDock->hide();
    }
}

void DebugPanes::layOutOnFirstShow()
{
    if (m_laidOut)
        return;
    m_laidOut = true;
    const DebuggerPaneLayout& kept = m_context.paneLayout();
    if (!m_columnsDragged) {
        for (PaneColumns* columns : m_columns)
            columns->setUserWidths(kept.columns.value(columns->key()));
    }
    const QByteArray state = kept.docks;
    if (state.isEmpty())
        return;
    auto* frame = static_cast<QMainWindow*>(parent());
    // Only the docks' places and sizes come back: which panes show is the
    // session's business, and the toolbars stay as the user has them.
    QList<std::pair<QDockWidget*, bool>> docks;
    for (QDockWidget* dock : {localsDock, watchDock, stackDock, breakpointsDock, consoleDock, outputDock})
        docks.append({dock, dock->isHidden()});
    QList<std::tuple<QToolBar*, Qt::ToolBarArea, bool>> bars;
    for (QToolBar* bar : frame->findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly))
        bars.append({bar, frame->toolBarArea(bar), bar->isHidden()});
    m_keptLayout = frame->restoreState(state, kLayoutVersion);
    for (const auto& [bar, area, hidden] : bars) {
        if (frame->toolBarArea(bar) != area)
            frame->addToolBar(area, bar);
        bar->setHidden(hidden);
    }
    for (const auto& [dock, hidden] : docks)
        dock->setHidden(hidden);
}

void DebugPanes::giveRoomToOutputAndLocals()
{
    if (m_keptLayout || m_roomGiven)
        return;
    m_roomGiven = true;
    auto* frame = static_cast<QMainWindow*>(parent());
    // The docks' first sizes are known once the frame has laid them out.
    frame->layout()->activate();
    const int scrollBar = output->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, output);
    // Program Output: a line of 40 columns, with room for the scroll bar
    // that comes with a long output.
    const int outputText = QFontMetrics(output->font()).horizontalAdvance(QString(40, QLatin1Char('0'))) +
                           2 * int(std::ceil(output->document()->documentMargin())) + output->cursorWidth() +
                           (output->verticalScrollBar()->isVisible() ? 0 : scrollBar);
    const int outputShort = outputText - output->viewport()->width();
    if (outputShort > 0)
        frame->resizeDocks({outputDock}, {outputDock->width() + outputShort}, Qt::Horizontal);
    // Locals: a name of 30 characters in the name column, which takes at
    // most half the pane.
    const int margin = locals->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, locals) + 1;
    const int name = QFontMetrics(locals->font()).horizontalAdvance(QString(30, QLatin1Char('n'))) +
                     locals->indentation() + 2 * margin;
    const int localsShort = 2 * name + scrollBar - locals->viewport()->width();
    if (localsShort > 0)
        frame->resizeDocks({localsDock}, {localsDock->width() + localsShort}, Qt::Horizontal);
    frame->layout()->activate();
}

bool DebugPanes::saveLayout(QWidget* parent)
{
    if (!m_laidOut && !m_columnsDragged)
        return true;
    DebuggerPaneLayout layout = m_context.paneLayout();
    if (m_laidOut)
        layout.docks = static_cast<QMainWindow*>(this->parent())->saveState(kLayoutVersion);
    layout.columns.clear();
    for (const PaneColumns* columns : m_columns)
        layout.columns.insert(columns->key(), columns->userWidths());
    m_context.setPaneLayout(layout);
    return SaveDebuggerPaneLayout(layout, parent);
}

void DebugPanes::appendTo(QPlainTextEdit* pane, const QByteArray& bytes)
{
    QScrollBar* bar = pane->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(pane->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString::fromUtf8(bytes));
    if (atEnd)
        bar->setValue(bar->maximum());
}

void DebugPanes::refreshLocals()
{
    locals->clear();
    for (const DebugVariable& variable : m_session->locals()) {
        auto* item = new QTreeWidgetItem(locals, {text(variable.name), text(variable.value), text(variable.type)});
        item->setData(0, ExpressionRole, variable.name);
        if (variable.expandable)
            markExpandable(item);
    }
    columnsOf(locals)->fit();
}

void DebugPanes::expandLocal(QTreeWidgetItem* item)
{
    if (item->data(0, FilledRole).toBool())
        return;
    item->setData(0, FilledRole, true);
    const QByteArray varName = item->data(0, VarNameRole).toByteArray();
    const QByteArray name = varName.isEmpty() ? item->data(0, ExpressionRole).toByteArray() : varName;
    QPointer<QTreeWidget> guard(locals);
    // The row may be gone (the program went on) when the answer comes:
    // it is found again by its place.
    const QList<int> path = [item] {
        QList<int> p;
        for (QTreeWidgetItem* at = item; at; at = at->parent())
            p.prepend(at->parent() ? at->parent()->indexOfChild(at)
                                   : at->treeWidget()->indexOfTopLevelItem(at));
        return p;
    }();
    m_session->listChildren(
        name, !varName.isEmpty(),
        [this, guard, path, name](const QList<DebugVariableChild>& children, bool more) {
            if (!guard)
                return;
            QTreeWidgetItem* row = path.isEmpty() ? nullptr : locals->topLevelItem(path.first());
            for (qsizetype i = 1; row && i < path.size(); ++i)
                row = row->child(path.at(i));
            const QByteArray rowName = row ? (row->data(0, VarNameRole).toByteArray().isEmpty()
                                                  ? row->data(0, ExpressionRole).toByteArray()
                                                  : row->data(0, VarNameRole).toByteArray())
                                           : QByteArray();
            if (!row || rowName != name)
                return;
            for (const DebugVariableChild& child : children) {
                auto* item = new QTreeWidgetItem(
                    row, {text(child.expression), text(child.value), text(child.type)});
                item->setData(0, VarNameRole, child.varName);
                if (child.childCount > 0)
                    markExpandable(item);
            }
            if (more) {
                new QTreeWidgetItem(row, {QStringLiteral("More members than the %1 shown")
                                              .arg(DebugSession::kMaxChildren)});
            }
            if (children.isEmpty())
                row->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
            // The members' names are indented under their row.
            columnsOf(locals)->fit();
        });
}

void DebugPanes::refreshWatches()
{
    watch->clear();
    for (const DebugWatch& w : m_session->watches()) {
        auto* item = new QTreeWidgetItem(watch, {text(w.expression), text(w.value)});
        if (w.changed)
            item->setForeground(1, QColor(0xc0, 0x00, 0x00));
        if (w.error)
            item->setForeground(1, QColor(0x80, 0x80, 0x80));
    }
    columnsOf(watch)->fit();
}

void DebugPanes::refreshStack()
{
    stack->clear();
    for (const DebugFrame& frame : m_session->frames()) {
        const QString where = frame.line > 0
                                  ? QStringLiteral("%1:%2").arg(text(frame.file)).arg(frame.line)
                                  : text(frame.address);
        auto* item = new QTreeWidgetItem(stack, {text(frame.function), where});
        item->setData(0, LevelRole, frame.level);
        if (!frame.fullname.isEmpty())
            item->setToolTip(1, PathForDisplay(PathFromBytes(frame.fullname)));
        if (frame.level == m_session->selectedFrame()) {
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
            item->setFont(1, bold);
        }
    }
    if (m_session->moreFrames()) {
        new QTreeWidgetItem(stack, {QStringLiteral("More frames than the %1 shown").arg(DebugSession::kMaxFrames)});
    }
    columnsOf(stack)->fit();
}

void DebugPanes::refreshBreakpoints()
{
    m_breakpoints->refresh();
    columnsOf(breakpoints)->fit();
}
