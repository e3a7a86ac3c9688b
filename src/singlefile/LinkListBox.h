#pragma once

#include <QListWidget>
#include <QStringList>

class IdeContext;

// The link list of the Build Source and Link dialogs: entries kept sorted
// alphabetically without regard to case, shown, used and handed back in
// that order, at most kMaxLinkEntries of them.
class LinkListBox : public QListWidget {
    Q_OBJECT
public:
    explicit LinkListBox(IdeContext& tools, QWidget* parent = nullptr);

    // Adds an entry in its sorted place. A full list refuses it with a
    // message box and returns false.
    bool addEntry(const QString& entry);
    // Deletes the selected entry; false when none is selected.
    bool removeSelected();
    QStringList entries() const;
    void setEntries(const QStringList& entries);

    // Add...: asks for an object or library file and adds its entry.
    // False when the user cancelled or the list is full.
    bool browseAndAdd();

private:
    IdeContext& m_tools;
};
