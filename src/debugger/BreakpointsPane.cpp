#include "debugger/BreakpointsPane.h"

#include "debugger/DebugSession.h"
#include "editor/DebugMargin.h"
#include "tools/PathBytes.h"
#include "tools/PathNames.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QShortcut>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>

namespace {

enum Role { PathRole = Qt::UserRole + 10, LineRole };
enum Column { PlaceColumn, ConditionColumn, HitsColumn };

QString text(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes);
}

} // namespace

BreakpointsPane::BreakpointsPane(DebugSession* session, BreakpointBook* book, QObject* parent)
    : QObject(parent), m_session(session), m_book(book), m_tree(new QTreeWidget)
{
    m_tree->setObjectName(QStringLiteral("debugBreakpoints"));
    m_tree->setHeaderLabels({QStringLiteral("Breakpoint"), QStringLiteral("Condition"), QStringLiteral("Hits")});
    m_tree->setRootIsDecorated(false);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(m_tree, &QTreeWidget::itemChanged, this, &BreakpointsPane::edited);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int column) {
        if (column == ConditionColumn)
            editCondition(item);
        else
            goToSource(item);
    });
    connect(m_tree, &QWidget::customContextMenuRequested, this, &BreakpointsPane::showMenu);
    // Only while the list itself has the focus: a condition being typed
    // keeps its Delete and blanks.
    auto* remover = new QShortcut(QKeySequence::Delete, m_tree, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remover, &QShortcut::activated, this, [this] { deleteRows(m_tree->selectedItems()); });
    auto* toggler = new QShortcut(QKeySequence(Qt::Key_Space), m_tree, nullptr, nullptr, Qt::WidgetShortcut);
    connect(toggler, &QShortcut::activated, this, [this] {
        QList<QTreeWidgetItem*> rows = m_tree->selectedItems();
        if (rows.isEmpty() && m_tree->currentItem())
            rows.append(m_tree->currentItem());
        toggleEnabled(rows);
    });
    connect(book, &BreakpointBook::changed, this, &BreakpointsPane::refresh);
}

BreakpointsPane::Place BreakpointsPane::placeOf(const QTreeWidgetItem* row)
{
    return {row->data(PlaceColumn, PathRole).toString(), row->data(PlaceColumn, LineRole).toInt()};
}

int BreakpointsPane::liveNumber(const Place& place) const
{
    return m_session->isActive() ? m_session->breakpointAt(PathToBytes(place.first), place.second) : 0;
}

void BreakpointsPane::refresh()
{
    // The rows are made again: the selection and the current row are kept
    // by their places.
    QList<Place> selected;
    for (const QTreeWidgetItem* row : m_tree->selectedItems())
        selected.append(placeOf(row));
    const QTreeWidgetItem* current = m_tree->currentItem();
    const Place currentPlace = current ? placeOf(current) : Place();

    m_filling = true;
    m_tree->clear();
    const QIcon refused = m_tree->style()->standardIcon(QStyle::SP_MessageBoxWarning);
    const QColor grey = m_tree->palette().color(QPalette::Disabled, QPalette::Text);
    for (const QString& path : m_book->files()) {
        for (const BookBreakpoint& b : m_book->breakpoints(path)) {
            const Place place{path, b.line};
            const int number = liveNumber(place);
            int hits = 0;
            for (const DebugBreakpoint& live : m_session->breakpoints()) {
                if (live.number == number)
                    hits = live.hits;
            }
            QString state = number > 0 ? QString::number(hits) : QString();
            if (!b.notSet.isEmpty())
                state = QStringLiteral("not set: %1").arg(b.notSet);
            auto* item = new QTreeWidgetItem(m_tree, {
                QStringLiteral("%1:%2").arg(PathForDisplay(FileNameOf(path))).arg(b.line),
                text(b.condition), state});
            item->setToolTip(PlaceColumn, PathForDisplay(path));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
            item->setCheckState(PlaceColumn, b.enabled ? Qt::Checked : Qt::Unchecked);
            item->setData(PlaceColumn, PathRole, path);
            item->setData(PlaceColumn, LineRole, b.line);
            if (!b.notSet.isEmpty()) {
                // gdb did not set it: the program never stops there.
                item->setIcon(PlaceColumn, refused);
                for (int column = 0; column < m_tree->columnCount(); ++column) {
                    item->setForeground(column, grey);
                    item->setToolTip(column, QStringLiteral("%1: not set: %2")
                                                 .arg(PathForDisplay(path), b.notSet));
                }
            }
            if (selected.contains(place))
                item->setSelected(true);
            if (place == currentPlace)
                m_tree->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        }
    }
    m_filling = false;
}

void BreakpointsPane::edited(QTreeWidgetItem* item, int column)
{
    if (m_filling)
        return;
    const Place place = placeOf(item);
    const auto& [path, line] = place;
    // The book may go (Tarn closing) before the call is made.
    QPointer<BreakpointBook> book = m_book;
    const int number = liveNumber(place);
    if (column == PlaceColumn) {
        const bool enabled = item->checkState(PlaceColumn) == Qt::Checked;
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
    if (column == ConditionColumn) {
        const QByteArray condition = item->text(ConditionColumn).trimmed().toUtf8();
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

void BreakpointsPane::remove(const QList<Place>& places)
{
    for (const Place& place : places) {
        if (const int number = liveNumber(place))
            m_session->deleteBreakpoint(number);
    }
    // The book redraws the pane: not under the rows still in use.
    QPointer<BreakpointBook> book = m_book;
    QMetaObject::invokeMethod(
        this,
        [book, places] {
            for (const Place& place : places) {
                if (book)
                    book->remove(place.first, place.second);
            }
        },
        Qt::QueuedConnection);
}

void BreakpointsPane::deleteRows(const QList<QTreeWidgetItem*>& rows)
{
    QList<Place> places;
    for (const QTreeWidgetItem* row : rows)
        places.append(placeOf(row));
    remove(places);
}

void BreakpointsPane::deleteAll()
{
    QList<Place> places;
    for (const QString& path : m_book->files()) {
        for (const BookBreakpoint& b : m_book->breakpoints(path))
            places.append({path, b.line});
    }
    remove(places);
}

void BreakpointsPane::toggleEnabled(const QList<QTreeWidgetItem*>& rows)
{
    const bool allEnabled = std::all_of(rows.begin(), rows.end(), [](const QTreeWidgetItem* row) {
        return row->checkState(PlaceColumn) == Qt::Checked;
    });
    // Each change goes the way of a click on the check box.
    for (QTreeWidgetItem* row : rows)
        row->setCheckState(PlaceColumn, allEnabled ? Qt::Unchecked : Qt::Checked);
}

void BreakpointsPane::editCondition(QTreeWidgetItem* row)
{
    if (!row)
        return;
    m_tree->setCurrentItem(row, ConditionColumn);
    m_tree->editItem(row, ConditionColumn);
}

void BreakpointsPane::goToSource(QTreeWidgetItem* row)
{
    if (!row)
        return;
    const Place place = placeOf(row);
    emit breakpointChosen(place.first, place.second);
}

void BreakpointsPane::showMenu(const QPoint& at)
{
    QTreeWidgetItem* row = m_tree->itemAt(at);
    if (row && !row->isSelected()) {
        m_tree->clearSelection();
        row->setSelected(true);
    }
    if (row)
        m_tree->setCurrentItem(row, PlaceColumn, QItemSelectionModel::NoUpdate);
    const QList<QTreeWidgetItem*> rows = row ? m_tree->selectedItems() : QList<QTreeWidgetItem*>();
    const bool allEnabled = std::all_of(rows.begin(), rows.end(), [](const QTreeWidgetItem* r) {
        return r->checkState(PlaceColumn) == Qt::Checked;
    });

    auto* menu = new QMenu(m_tree);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The rows are found again by their places when an item is chosen:
    // the pane may have been redrawn while the menu was open.
    QList<Place> places;
    for (const QTreeWidgetItem* r : rows)
        places.append(placeOf(r));
    auto rowsAt = [this, places] {
        QList<QTreeWidgetItem*> found;
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
            if (places.contains(placeOf(m_tree->topLevelItem(i))))
                found.append(m_tree->topLevelItem(i));
        }
        return found;
    };
    QAction* remove = menu->addAction(QStringLiteral("&Delete"), this, [this, rowsAt] { deleteRows(rowsAt()); });
    remove->setShortcut(QKeySequence::Delete);
    remove->setEnabled(!rows.isEmpty());
    menu->addAction(QStringLiteral("Delete &All"), this, &BreakpointsPane::deleteAll)
        ->setEnabled(m_tree->topLevelItemCount() > 0);
    menu->addSeparator();
    QAction* toggle = menu->addAction(allEnabled && !rows.isEmpty() ? QStringLiteral("Disa&ble")
                                                                    : QStringLiteral("&Enable"),
                                      this, [this, rowsAt] { toggleEnabled(rowsAt()); });
    toggle->setShortcut(QKeySequence(Qt::Key_Space));
    toggle->setEnabled(!rows.isEmpty());
    menu->addAction(QStringLiteral("Edit &Condition..."), this, [this, rowsAt] {
            const QList<QTreeWidgetItem*> found = rowsAt();
            editCondition(found.value(0));
        })->setEnabled(rows.size() == 1);
    menu->addAction(QStringLiteral("&Go to Source"), this, [this, rowsAt] { goToSource(rowsAt().value(0)); })
        ->setEnabled(rows.size() == 1);
    menu->popup(m_tree->viewport()->mapToGlobal(at));
}
