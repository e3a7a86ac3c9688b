#include "framework/OpenFileDialog.h"

#include "framework/FileNameBytes.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileIconProvider>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace fw {

namespace {

constexpr int kNameRole = Qt::UserRole;       // the name as held (kept bytes included)
constexpr int kFolderRole = Qt::UserRole + 1; // true for a folder

// The patterns of a filter: "C Files (*.c *.h)" -> *.c, *.h; none: all.
QList<QRegularExpression> patternsOf(const QString& filter)
{
    QList<QRegularExpression> patterns;
    const qsizetype open = filter.lastIndexOf(u'(');
    const qsizetype close = filter.lastIndexOf(u')');
    const QString inside = open >= 0 && close > open ? filter.mid(open + 1, close - open - 1) : filter;
    for (const QString& pattern : inside.split(u' ', Qt::SkipEmptyParts))
        patterns << QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern));
    return patterns;
}

} // namespace

OpenFileDialog::OpenFileDialog(QWidget* parent, const QString& caption, const QString& directory,
                               const QStringList& filters)
    : QDialog(parent)
{
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Look in:"), this));
    m_folderEdit = new QLineEdit(this);
    m_folderEdit->setObjectName(QStringLiteral("folder"));
    top->addWidget(m_folderEdit, 1);
    auto* up = new QPushButton(QStringLiteral("Up"), this);
    up->setObjectName(QStringLiteral("up"));
    up->setAutoDefault(false);
    top->addWidget(up);
    layout->addLayout(top);
    m_entries = new QListWidget(this);
    m_entries->setObjectName(QStringLiteral("entries"));
    layout->addWidget(m_entries, 1);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("File name:"), this));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("fileName"));
    nameRow->addWidget(m_name, 1);
    layout->addLayout(nameRow);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(new QLabel(QStringLiteral("Files of type:"), this));
    m_filters = new QComboBox(this);
    m_filters->setObjectName(QStringLiteral("filters"));
    m_filters->addItems(filters.isEmpty() ? QStringList{QStringLiteral("All Files (*)")} : filters);
    filterRow->addWidget(m_filters, 1);
    layout->addLayout(filterRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    resize(560, 420);

    connect(buttons, &QDialogButtonBox::accepted, this, &OpenFileDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &OpenFileDialog::reject);
    connect(up, &QPushButton::clicked, this, [this] {
        const qsizetype slash = m_folder.lastIndexOf(u'/');
        setFolder(slash > 0 ? m_folder.left(slash) : QStringLiteral("/"));
    });
    connect(m_folderEdit, &QLineEdit::returnPressed, this, [this] { setFolder(m_folderEdit->text()); });
    connect(m_filters, &QComboBox::currentIndexChanged, this, [this] { list(); });
    connect(m_entries, &QListWidget::itemActivated, this, &OpenFileDialog::activate);
    connect(m_entries, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && !item->data(kFolderRole).toBool() && selectedFiles().size() < 2)
            m_name->setText(item->data(kNameRole).toString());
    });
    connect(m_entries, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> files = selectedFiles();
        if (files.size() >= 2)
            m_name->setText(quotedNames(files));
    });
    setFolder(directory.isEmpty() ? QDir::currentPath() : directory);
}

void OpenFileDialog::setMultipleFiles(bool multiple)
{
    m_entries->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection
                                         : QAbstractItemView::SingleSelection);
}

QString OpenFileDialog::quotedNames(const QList<QListWidgetItem*>& files)
{
    QStringList quoted;
    for (const QListWidgetItem* file : files)
        quoted << u'"' + file->text() + u'"';
    return quoted.join(u' ');
}

QList<QListWidgetItem*> OpenFileDialog::selectedFiles() const
{
    QList<QListWidgetItem*> files;
    if (m_entries->selectionMode() != QAbstractItemView::ExtendedSelection)
        return files;
    for (int row = 0; row < m_entries->count(); ++row) {
        QListWidgetItem* item = m_entries->item(row);
        if (item->isSelected() && !item->data(kFolderRole).toBool())
            files << item;
    }
    return files;
}

void OpenFileDialog::setFolder(const QString& folder)
{
    m_folder = QDir::cleanPath(folder);
    m_folderEdit->setText(fileNameForDisplay(m_folder));
    list();
}

QString OpenFileDialog::pathOf(const QString& name) const
{
    return name.startsWith(u'/') ? name : (m_folder == QLatin1String("/") ? m_folder : m_folder + u'/') + name;
}

// Lists the folder by its names' bytes.
void OpenFileDialog::list()
{
    m_entries->clear();
    const QList<QRegularExpression> patterns = patternsOf(m_filters->currentText());
    struct Entry {
        QString name;
        bool folder;
    };
    QList<Entry> found;
    const QByteArray bytes = fileNameBytes(m_folder);
    if (DIR* listing = ::opendir(bytes.constData())) {
        while (const dirent* entry = ::readdir(listing)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            struct stat status {};
            if (::fstatat(::dirfd(listing), entry->d_name, &status, 0) != 0)
                continue; // a dangling link
            const bool folder = S_ISDIR(status.st_mode);
            const QString held = pathOfFileNameBytes(name);
            const QString shown = fileNameForDisplay(held);
            if (!folder && !patterns.isEmpty()
                && std::none_of(patterns.begin(), patterns.end(),
                                [&](const QRegularExpression& p) { return p.match(shown).hasMatch(); }))
                continue;
            found.push_back({held, folder});
        }
        ::closedir(listing);
    }
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        if (a.folder != b.folder)
            return a.folder;
        return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
    });
    QFileIconProvider icons;
    for (const Entry& entry : found) {
        auto* item = new QListWidgetItem(
            icons.icon(entry.folder ? QFileIconProvider::Folder : QFileIconProvider::File),
            fileNameForDisplay(entry.name) + (entry.folder ? QStringLiteral("/") : QString()), m_entries);
        item->setData(kNameRole, entry.name);
        item->setData(kFolderRole, entry.folder);
    }
}

void OpenFileDialog::activate(QListWidgetItem* item)
{
    if (!item)
        return;
    if (item->data(kFolderRole).toBool()) {
        setFolder(pathOf(item->data(kNameRole).toString()));
        return;
    }
    m_name->setText(item->data(kNameRole).toString());
    accept();
}

// Open: the file named (a folder named is entered instead); a name that
// names nothing leaves the dialog open. Several files selected (shown as
// their quoted names) are taken together.
void OpenFileDialog::accept()
{
    const QList<QListWidgetItem*> files = selectedFiles();
    if (files.size() > 1) {
        if (m_name->text() == quotedNames(files)) {
            m_selected.clear();
            for (const QListWidgetItem* file : files)
                m_selected << pathOf(file->data(kNameRole).toString());
            QDialog::accept();
            return;
        }
    }
    QString name = m_name->text();
    // The name as listed holds the kept bytes; one typed in is text.
    if (QListWidgetItem* item = m_entries->currentItem();
        item && fileNameForDisplay(item->data(kNameRole).toString()) == name)
        name = item->data(kNameRole).toString();
    if (name.isEmpty())
        return;
    const QString path = pathOf(name);
    struct stat status {};
    if (::stat(fileNameBytes(path).constData(), &status) != 0)
        return;
    if (S_ISDIR(status.st_mode)) {
        m_name->clear();
        setFolder(path);
        return;
    }
    m_selected = QStringList{path};
    QDialog::accept();
}

} // namespace fw
