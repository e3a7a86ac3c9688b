#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace fw {

// The dialog that picks a file to open. It lists a folder by the bytes of
// its names, so a file whose name is not UTF-8 is listed (shown with U+FFFD
// for each such byte) and opened by its very bytes; Qt's own file dialog
// leaves such files out. Folders come first; a double click enters a
// folder or opens a file; the filter ("C Files (*.c *.h)") narrows the
// files shown.
class OpenFileDialog : public QDialog {
    Q_OBJECT
public:
    OpenFileDialog(QWidget* parent, const QString& caption, const QString& directory, const QStringList& filters);

    QString folder() const { return m_folder; }
    // The chosen file's path (its kept bytes included), once accepted.
    QString selectedPath() const { return m_selected.isEmpty() ? QString() : m_selected.first(); }
    // Every file chosen, in the order listed (several only with
    // setMultipleFiles).
    QStringList selectedPaths() const { return m_selected; }

    void setFolder(const QString& folder);
    // Lets the user select several files of the folder at once (Ctrl and
    // Shift clicks); Open takes them all.
    void setMultipleFiles(bool multiple);

    void accept() override;

private:
    void list();
    void activate(QListWidgetItem* item);
    QString pathOf(const QString& name) const;

    // The files selected in the list (several names shown in the name box).
    QList<QListWidgetItem*> selectedFiles() const;
    // How the name box shows several files: "a.c" "b.c".
    static QString quotedNames(const QList<QListWidgetItem*>& files);

    QString m_folder;
    QStringList m_selected;
    QLineEdit* m_folderEdit = nullptr;
    QListWidget* m_entries = nullptr;
    QComboBox* m_filters = nullptr;
    QLineEdit* m_name = nullptr;
};

} // namespace fw
