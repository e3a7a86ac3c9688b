#include "support/ScriptedPrompts.h"

ScriptedPrompts::ScriptedPrompts() : m_previous(fw::Prompts::install(this)) {}

ScriptedPrompts::~ScriptedPrompts()
{
    fw::Prompts::install(m_previous);
}

fw::Prompts::Answer ScriptedPrompts::message(QWidget*, const QString& text, Buttons buttons, Icon)
{
    messages << text;
    if (!answers.empty()) {
        Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

QString ScriptedPrompts::openFileName(QWidget*, const FileDialog& dialog)
{
    openDialogs << dialog;
    if (openFiles.empty())
        return {};
    QString file = openFiles.front();
    openFiles.pop_front();
    return file;
}

QString ScriptedPrompts::saveFileName(QWidget*, const FileDialog& dialog)
{
    saveDialogs << dialog;
    if (saveFiles.empty())
        return {};
    QString file = saveFiles.front();
    saveFiles.pop_front();
    return file;
}

std::optional<QFont> ScriptedPrompts::chooseFont(QWidget*, const QFont& initial)
{
    fontDialogs << initial;
    if (fonts.empty())
        return std::nullopt;
    std::optional<QFont> font = fonts.front();
    fonts.pop_front();
    return font;
}
