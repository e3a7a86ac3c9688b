#include "debugger/DebugPanes.h"

#include "debugger/DebugSession.h"
#include "debugger/ProgramOutputPane.h"
#include "editor/DebugMargin.h"
#include "tools/PathBytes.h"
#include "tools/PathNames.h"

#include <algorithm>

#include <QDockWidget>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QShortcut>
#include <QTextCursor>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Role { ExpressionRole = Qt::UserRole, VarNameRole, FilledRole, LineRole, PathRole, LevelRole };

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
    widget->header()->setStretchLastSection(true);
    return widget;
}

// Every column but the last as wide as its texts, so names and values are
// read whole, but none wider than half the pane: a long value (an array)
// leaves room for the columns after it and scrolls instead.
void fitColumns(QTreeWidget* widget)
{
    const int widest = std::max(widget->viewport()->width() / 2, 120);
    for (int column = 0; column + 1 < widget->columnCount(); ++column) {
        widget->resizeColumnToContents(column);
        if (widget->columnWidth(column) > widest)
            widget->setColumnWidth(column, widest);
    }
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

DebugPanes::DebugPanes(QMainWindow* frame, DebugSession* session, BreakpointBook* book)
    : QObject(frame), m_session(session), m_book(book)
{
    locals = tree({QStringLiteral("Name"), QStringLiteral("Value"), QStringLiteral("Type")}, "debugLocals");
    watch = tree({QStringLiteral("Expression"), QStringLiteral("Value")}, "debugWatch");
    watchInput = inputLine("debugWatchInput", QStringLiteral("Add a watch: type an expression, press Enter"));
    stack = tree({QStringLiteral("Function"), QStringLiteral("Location")}, "debugCallStack");
    stack->setRootIsDecorated(false);
    breakpoints = tree({QStringLiteral("Breakpoint"), QStringLiteral("Condition"), QStringLiteral("Hits")},
                       "debugBreakpoints");
    breakpoints->setRootIsDecorated(false);
    console = textPane("debugConsole");
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
    connect(book, &BreakpointBook::changed, this, &DebugPanes::refreshBreakpoints);
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
    connect(breakpoints, &QTreeWidget::itemChanged, this, &DebugPanes::breakpointEdited);
    connect(breakpoints, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int column) {
        if (column == 0)
            emit breakpointChosen(item->data(0, PathRole).toString(), item->data(0, LineRole).toInt());
        else if (column == 1)
            breakpoints->editItem(item, 1); // the condition
    });
    breakpoints->setEditTriggers(QAbstractItemView::NoEditTriggers);
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

    for (QDockWidget* dock : {localsDock, watchDock, stackDock, breakpointsDock, consoleDock, outputDock})
        dock->hide();
    refreshBreakpoints();
}

QDockWidget* DebugPanes::addDock(QMainWindow* frame, const QString& title, const char* name,
                                 QWidget* content, Qt::DockWidgetArea area)
{
    auto* dock = new QDockWidget(title, frame);
    dock->setObjectName(QLatin1String(name));
    dock->setWidget(content);
    frame->addDockWidget(area, dock);
    return dock;
}

void DebugPanes::beginSession()
{
    console->clear();
    outputPane->clear();
    for (QDockWidget* dock : {localsDock, watchDock, stackDock, breakpointsDock, consoleDock, outputDock})
        dock->show();
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
    fitColumns(locals);
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
    fitColumns(watch);
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
    fitColumns(stack);
}

void DebugPanes::refreshBreakpoints()
{
    m_fillingBreakpoints = true;
    breakpoints->clear();
    const BreakpointBook& book = *m_book;
    for (const QString& path : book.files()) {
        for (const BookBreakpoint& b : book.breakpoints(path)) {
            int hits = 0;
            const int number = m_session->isActive() ? m_session->breakpointAt(PathToBytes(path), b.line) : 0;
            for (const DebugBreakpoint& live : m_session->breakpoints()) {
                if (live.number == number)
                    hits = live.hits;
            }
            auto* item = new QTreeWidgetItem(breakpoints, {
                QStringLiteral("%1:%2").arg(PathForDisplay(FileNameOf(path))).arg(b.line),
                text(b.condition), number > 0 ? QString::number(hits) : QString()});
            item->setToolTip(0, PathForDisplay(path));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
            item->setCheckState(0, b.enabled ? Qt::Checked : Qt::Unchecked);
            item->setData(0, PathRole, path);
            item->setData(0, LineRole, b.line);
        }
    }
    m_fillingBreakpoints = false;
}

void DebugPanes::breakpointEdited(QTreeWidgetItem* item, int column)
{
    if (m_fillingBreakpoints)
        return;
    const QString path = item->data(0, PathRole).toString();
    const int line = item->data(0, LineRole).toInt();
    // The book may go (Tarn closing) before the call is made.
    QPointer<BreakpointBook> book = m_book;
    const int number = m_session->isActive() ? m_session->breakpointAt(PathToBytes(path), line) : 0;
    if (column == 0) {
        const bool enabled = item->checkState(0) == Qt::Checked;
        if (number > 0)
            m_session->setBreakpointEnabled(number, enabled);
        // Redraws the pane: later in this turn, not under the edit.
        QMetaObject::invokeMethod(
            this,
            [book, path, line, enabled] {
                if (book)
                    book->setEnabled(path, line, enabled);
            },
            Qt::QueuedConnection);
        return;
    }
    if (column == 1) {
        const QByteArray condition = item->text(1).trimmed().toUtf8();
        if (number > 0)
            m_session->setBreakpointCondition(number, condition);
        QMetaObject::invokeMethod(
            this,
            [book, path, line, condition] {
                if (book)
                    book->setCondition(path, line, condition);
            },
            Qt::QueuedConnection);
    }
}
