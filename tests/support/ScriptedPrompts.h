#pragma once

#include "framework/Prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

// Answers message boxes and dialogs from a script and records what was
// asked. Installed for the lifetime of the object.
class ScriptedPrompts : public fw::Prompts {
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;

    // Answers, consumed in order; when a queue is empty the default is used
    // (Ok/Cancel for messages, a cancelled dialog for files and fonts).
    std::deque<Answer> answers;
    // An answer to a dialog that takes several files holds them one a line.
    std::deque<QString> openFiles;
    std::deque<QString> folders;
    std::deque<QString> saveFiles;
    std::deque<std::optional<QFont>> fonts;
    // Typed texts (nothing: cancelled) and list confirmations.
    std::deque<std::optional<QString>> texts;
    std::deque<bool> confirmations;

    // What was shown.
    QStringList messages;
    QList<FileDialog> openDialogs;
    QList<FileDialog> saveDialogs;
    QStringList folderDialogs; // their captions
    QList<QFont> fontDialogs;
    QStringList textDialogs; // their labels
    QList<QStringList> confirmedLists;

    Answer message(QWidget* parent, const QString& text, Buttons buttons, Icon icon) override;
    QString openFileName(QWidget* parent, const FileDialog& dialog) override;
    QStringList openFileNames(QWidget* parent, const FileDialog& dialog) override;
    QString folderName(QWidget* parent, const QString& caption, const QString& directory) override;
    QString saveFileName(QWidget* parent, const FileDialog& dialog) override;
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    std::optional<QString> askText(QWidget* parent, const QString& caption, const QString& label,
                                   const QString& initial) override;
    bool confirmList(QWidget* parent, const QString& caption, const QString& text,
                     const QStringList& rows) override;

private:
    fw::Prompts* m_previous;
};
