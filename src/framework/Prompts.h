#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace fw {

// Every message box and file or font dialog of the program goes through this
// seam, so tests can answer them. The installed instance is process-wide.
class Prompts {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileDialog {
        QString caption;
        QString directory;
        QString fileName;       // initial file name, may be empty
        QStringList filters;    // "Gcc Executable (gcc)" style, first one selected
        QString defaultSuffix;  // without dot; empty: none
    };

    virtual ~Prompts() = default;

    virtual Answer message(QWidget* parent, const QString& text, Buttons buttons = Buttons::Ok,
                           Icon icon = Icon::Warning) = 0;
    // An empty result means the dialog was cancelled.
    virtual QString openFileName(QWidget* parent, const FileDialog& dialog) = 0;
    // Several files of one folder at once; empty when cancelled. By default
    // the one file openFileName gives.
    virtual QStringList openFileNames(QWidget* parent, const FileDialog& dialog);
    virtual QString saveFileName(QWidget* parent, const FileDialog& dialog) = 0;
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;
    // A folder chosen in the desktop's folder dialog, opened at directory;
    // empty when cancelled.
    virtual QString folderName(QWidget* parent, const QString& caption, const QString& directory);
    // A line of text typed into a small dialog (label above the field, the
    // field holding `initial`, all of it selected); nothing when cancelled.
    virtual std::optional<QString> askText(QWidget* parent, const QString& caption,
                                           const QString& label, const QString& initial);
    // A list of rows shown for a yes or no (what an action is about to
    // change): true for OK.
    virtual bool confirmList(QWidget* parent, const QString& caption, const QString& text,
                             const QStringList& rows);

    // The installed instance (a QtPrompts unless a test installed its own).
    static Prompts& current();
    // Installs a replacement and returns the previous one; nullptr restores
    // the real dialogs. The caller keeps ownership.
    static Prompts* install(Prompts* prompts);
};

// The real dialogs: QMessageBox, QFileDialog and QFontDialog. The message
// box title is the application's display name.
class QtPrompts : public Prompts {
public:
    Answer message(QWidget* parent, const QString& text, Buttons buttons, Icon icon) override;
    QString openFileName(QWidget* parent, const FileDialog& dialog) override;
    QStringList openFileNames(QWidget* parent, const FileDialog& dialog) override;
    QString saveFileName(QWidget* parent, const FileDialog& dialog) override;
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
};

// Shorthand for the common OK-only message box.
inline void messageBox(QWidget* parent, const QString& text,
                       Prompts::Icon icon = Prompts::Icon::Warning)
{
    Prompts::current().message(parent, text, Prompts::Buttons::Ok, icon);
}

} // namespace fw
