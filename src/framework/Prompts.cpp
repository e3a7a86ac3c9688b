#include "framework/Prompts.h"

#include "framework/OpenFileDialog.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QVBoxLayout>

namespace fw {

namespace {

QtPrompts& realPrompts()
{
    static QtPrompts prompts;
    return prompts;
}

Prompts* g_installed = nullptr;

QWidget* dialogParent(QWidget* parent)
{
    return parent ? parent : QApplication::activeWindow();
}

} // namespace

Prompts& Prompts::current()
{
    return g_installed ? *g_installed : realPrompts();
}

Prompts* Prompts::install(Prompts* prompts)
{
    Prompts* previous = g_installed;
    g_installed = prompts;
    return previous;
}

Prompts::Answer QtPrompts::message(QWidget* parent, const QString& text, Buttons buttons,
                                   Icon icon)
{
    QMessageBox box(dialogParent(parent));
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

static QString runFileDialog(QWidget* parent, const Prompts::FileDialog& d, bool save)
{
    QFileDialog dialog(dialogParent(parent), d.caption, d.directory);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!d.filters.isEmpty())
        dialog.setNameFilters(d.filters);
    if (!d.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(d.defaultSuffix);
    if (!d.fileName.isEmpty())
        dialog.selectFile(d.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// Tarn's own dialog: Qt's leaves out a file whose name is not UTF-8.
QString QtPrompts::openFileName(QWidget* parent, const FileDialog& dialog)
{
    OpenFileDialog chooser(dialogParent(parent), dialog.caption, dialog.directory, dialog.filters);
    if (!dialog.fileName.isEmpty()) {
        const qsizetype slash = dialog.fileName.lastIndexOf(u'/');
        if (slash >= 0)
            chooser.setFolder(dialog.fileName.left(slash));
    }
    if (chooser.exec() != QDialog::Accepted)
        return {};
    return chooser.selectedPath();
}

QStringList Prompts::openFileNames(QWidget* parent, const FileDialog& dialog)
{
    const QString chosen = openFileName(parent, dialog);
    return chosen.isEmpty() ? QStringList() : QStringList{chosen};
}

QStringList QtPrompts::openFileNames(QWidget* parent, const FileDialog& dialog)
{
    OpenFileDialog chooser(dialogParent(parent), dialog.caption, dialog.directory, dialog.filters);
    chooser.setMultipleFiles(true);
    if (chooser.exec() != QDialog::Accepted)
        return {};
    return chooser.selectedPaths();
}

QString Prompts::folderName(QWidget* parent, const QString& caption, const QString& directory)
{
    return QFileDialog::getExistingDirectory(parent, caption, directory);
}

std::optional<QString> Prompts::askText(QWidget* parent, const QString& caption,
                                        const QString& label, const QString& initial)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(dialogParent(parent), caption, label, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

bool Prompts::confirmList(QWidget* parent, const QString& caption, const QString& text,
                          const QStringList& rows)
{
    QDialog dialog(dialogParent(parent));
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(text, &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* list = new QListWidget(&dialog);
    list->addItems(rows);
    list->setMinimumWidth(560);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted;
}

QString QtPrompts::saveFileName(QWidget* parent, const FileDialog& dialog)
{
    return runFileDialog(parent, dialog, true);
}

// True when the dialog's answer is the font it was opened on: the same
// family, size and style. The dialog offers whole point sizes only: a font
// of 9.75 points (a record of 13 pixels) is shown, and answered, as 10.
static bool sameChoice(const QFont& chosen, const QFont& shown)
{
    const bool sameSize =
        qAbs(chosen.pointSizeF() - shown.pointSizeF()) < 0.01 ||
        (chosen.pointSizeF() == chosen.pointSize() && chosen.pointSize() == shown.pointSize());
    return chosen.family().compare(shown.family(), Qt::CaseInsensitive) == 0 && sameSize &&
           chosen.weight() == shown.weight() && chosen.italic() == shown.italic() &&
           chosen.underline() == shown.underline() && chosen.strikeOut() == shown.strikeOut();
}

std::optional<QFont> QtPrompts::chooseFont(QWidget* parent, const QFont& initial)
{
    // The dialog lists the host's families and their own style names only.
    // A name it does not list (the default "courier", drawn with the host's
    // monospace font) would make it open on its first family, and a font
    // without a style name on a style it guesses ("Normal" is no style of
    // DejaVu Sans Mono, whose upright style is "Book": the guess was
    // "Oblique"). So it is opened on the family and style actually drawn.
    const QFontInfo drawn(initial);
    QFont shown = initial;
    shown.setFamily(drawn.family());
    shown.setStyleName(drawn.styleName());
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, shown, dialogParent(parent));
    if (!ok)
        return std::nullopt;
    // OK without a change keeps the font exactly as it was, name included.
    if (sameChoice(font, shown))
        return initial;
    return font;
}

} // namespace fw
