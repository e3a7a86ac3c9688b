#include "debugger/PaneColumns.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>

#include <algorithm>

namespace {
// Below this a pane is not laid out yet: a fit would squeeze every column.
constexpr int kMeasurableWidth = 40;
} // namespace

PaneColumns::PaneColumns(QTreeWidget* tree, const QString& key)
    : QObject(tree), m_tree(tree), m_key(key)
{
    QHeaderView* header = tree->header();
    // The last column is fitted here too: as wide as the rest of the pane,
    // or as its texts (a path, a value) with a scroll bar.
    header->setStretchLastSection(false);
    tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    tree->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(header, &QHeaderView::sectionResized, this, &PaneColumns::sectionResized);
    connect(header, &QHeaderView::sectionHandleDoubleClicked, this, [this](int column) {
        if (column < m_user.size())
            m_user[column] = 0;
        fit();
        emit userResized();
    });
    connect(tree, &QTreeWidget::itemExpanded, this, &PaneColumns::fit);
    connect(tree, &QTreeWidget::itemCollapsed, this, &PaneColumns::fit);
    m_viewport = tree->viewport();
    m_headerViewport = header->viewport();
    tree->viewport()->installEventFilter(this);
    header->viewport()->installEventFilter(this);
    tree->installEventFilter(this);
}

QList<int> PaneColumns::userWidths() const
{
    QList<int> widths = m_user;
    widths.resize(std::max(0, m_tree->columnCount() - 1));
    return widths;
}

void PaneColumns::setUserWidths(const QList<int>& widths)
{
    m_user = widths.mid(0, std::max(0, m_tree->columnCount() - 1));
    fit();
}

void PaneColumns::fit()
{
    const int width = m_tree->viewport()->width();
    if (!m_tree->isVisible() || width < kMeasurableWidth)
        return; // fitted when it is shown or resized
    m_fitting = true;
    const int widest = width / 2;
    const int last = m_tree->columnCount() - 1;
    int used = 0;
    for (int column = 0; column < last; ++column) {
        const int user = column < m_user.size() ? m_user.at(column) : 0;
        if (user > 0) {
            m_tree->setColumnWidth(column, user);
        } else {
            m_tree->resizeColumnToContents(column);
            if (m_tree->columnWidth(column) > widest)
                m_tree->setColumnWidth(column, widest);
        }
        used += m_tree->columnWidth(column);
    }
    if (last >= 0) {
        m_tree->resizeColumnToContents(last);
        if (m_tree->columnWidth(last) < width - used)
            m_tree->setColumnWidth(last, width - used);
    }
    m_fitting = false;
}

void PaneColumns::sectionResized(int column, int /*oldWidth*/, int newWidth)
{
    // Only a drag of the header by the user is kept; the fit's own widths
    // and the last column (which fills the pane) are not.
    if (m_fitting || !m_dragging || column >= m_tree->columnCount() - 1)
        return;
    if (m_user.size() <= column)
        m_user.resize(column + 1);
    m_user[column] = newWidth;
    emit userResized();
}

bool PaneColumns::eventFilter(QObject* watched, QEvent* event)
{
    // Only the watched widgets as they were met at the start: while the
    // tree is being destroyed it is no tree any more, and its parts are
    // not asked for.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::Resize && type != QEvent::Show)
        return false;
    if (watched == m_headerViewport) {
        if (event->type() == QEvent::MouseButtonPress)
            m_dragging = true;
        else if (event->type() == QEvent::MouseButtonRelease) {
            m_dragging = false;
            // The last column fills what the dragged one left.
            fit();
        }
        return false;
    }
    const bool measured = (watched == m_viewport && event->type() == QEvent::Resize) ||
                          (watched == m_tree && event->type() == QEvent::Show);
    if (measured && !m_fitting)
        fit();
    return false;
}
