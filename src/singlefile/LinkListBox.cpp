#include "singlefile/LinkListBox.h"

#include "framework/Prompts.h"
#include "singlefile/BrowseFolders.h"
#include "tools/LinkEntries.h"

#include <QFileInfo>

LinkListBox::LinkListBox(IdeContext& tools, QWidget* parent) : QListWidget(parent), m_tools(tools)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

bool LinkListBox::addEntry(const QString& entry)
{
    if (count() >= kMaxLinkEntries) {
        fw::messageBox(this, LinkListFullMessage());
        return false;
    }
    QStringList all = entries();
    all.append(entry);
    SortLinkEntries(all);
    const int row = int(all.lastIndexOf(entry));
    insertItem(row, entry);
    return true;
}

bool LinkListBox::removeSelected()
{
    const int row = currentRow();
    if (row < 0 || !item(row) || !item(row)->isSelected())
        return false;
    delete takeItem(row);
    return true;
}

QStringList LinkListBox::entries() const
{
    QStringList all;
    all.reserve(count());
    for (int i = 0; i < count(); ++i)
        all.append(item(i)->text());
    return all;
}

void LinkListBox::setEntries(const QStringList& entries)
{
    QStringList sorted = entries.mid(0, kMaxLinkEntries);
    SortLinkEntries(sorted);
    clear();
    addItems(sorted);
}

bool LinkListBox::browseAndAdd()
{
    // A full list says so before the user picks a file in vain.
    if (count() >= kMaxLinkEntries) {
        fw::messageBox(this, LinkListFullMessage());
        return false;
    }
    fw::Prompts::FileDialog dialog;
    dialog.caption = QStringLiteral("Open");
    // Each dialog that holds a list remembers its own folder.
    const QString key = QStringLiteral("link list of ") + window()->objectName();
    dialog.directory = BrowseFolder(m_tools, key);
    dialog.filters = {QStringLiteral("Object and Library Files (*.a *.so *.o)"),
                      QStringLiteral("All Files (*)")};
    const QString path = fw::Prompts::current().openFileName(this, dialog);
    if (path.isEmpty())
        return false;
    RememberBrowseFolder(m_tools, key, path);
    const QFileInfo info(path);
    return addEntry(MakeLinkEntry(info.suffix(), info.fileName(), path));
}
