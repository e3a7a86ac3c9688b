#pragma once

#include "settings/IdeSettings.h"

#include <QDialog>
#include <QStringList>

class IdeContext;
class QCheckBox;
class QLineEdit;
class QPushButton;

// The Options dialog: the four tool paths, the five switches and the source
// font on its first page, the language server's path on a page of its own. It works on a copy of the live settings; OK copies it back and
// writes the settings file, Cancel drops every change.
class CIDEOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // Edits the context's settings; OK puts them in force and saves them.
    explicit CIDEOptionsDialog(IdeContext& context, QWidget* parent = nullptr);

    // The dialog's working copy of the settings.
    const IdeSettings& workingCopy() const { return m_working; }

    // OK: takes the controls into the working copy, makes it the live
    // settings and writes the settings file.
    void accept() override;

    void OnBrowseGcc();
    void OnBrowseGdb();
    void OnBrowseMake();
    void OnBrowseLibc();
    void OnSourceFont();
    void OnBrowseClangd();

protected:
    // Copies the live settings into the working copy and fills the controls.
    void OnInitDialog();
    // Exchanges the working copy with the controls: into the controls when
    // saveAndValidate is false, out of them when it is true.
    void DoDataExchange(bool saveAndValidate);

private:
    void buildControls();
    void browse(QString IdeSettings::*path, const QStringList& filters);

    IdeContext& m_context;
    IdeSettings m_working;

    QLineEdit* m_gccPath = nullptr;
    QLineEdit* m_gdbPath = nullptr;
    QLineEdit* m_makePath = nullptr;
    QLineEdit* m_libcPath = nullptr;
    QCheckBox* m_debugDefault = nullptr;
    QCheckBox* m_moveBraces = nullptr;
    QCheckBox* m_keepLevel = nullptr;
    QCheckBox* m_clearBeforeBuild = nullptr;
    QCheckBox* m_minimizeOnTile = nullptr;
    // The Code Intelligence page: the language server, kept in [Language].
    QLineEdit* m_clangdPath = nullptr;
};
