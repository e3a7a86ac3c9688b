#include "support/ScriptedPrompts.h"

namespace {

// The next scripted answer, or the default when the script has run out.
template <typename T> T takeFront(std::deque<T>& queue, T fallback)
{
    if (queue.empty())
        return fallback;
    T front = queue.front();
    queue.pop_front();
    return front;
}

} // namespace

ScriptedPrompts::ScriptedPrompts() : m_previous(fw::Prompts::install(this)) {}

ScriptedPrompts::~ScriptedPrompts()
{
    fw::Prompts::install(m_previous);
}

fw::Prompts::Answer ScriptedPrompts::message(QWidget*, const QString& text, Buttons buttons, Icon)
{
    messages << text;
    return takeFront(answers, buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel);
}

QString ScriptedPrompts::openFileName(QWidget*, const FileDialog& dialog)
{
    openDialogs << dialog;
    return takeFront(openFiles, QString());
}

QStringList ScriptedPrompts::openFileNames(QWidget*, const FileDialog& dialog)
{
    openDialogs << dialog;
    const QString answer = takeFront(openFiles, QString());
    return answer.isEmpty() ? QStringList() : answer.split(u'\n');
}

QString ScriptedPrompts::folderName(QWidget*, const QString& caption, const QString&)
{
    folderDialogs << caption;
    return takeFront(folders, QString());
}

std::optional<QString> ScriptedPrompts::askText(QWidget*, const QString&, const QString& label,
                                                const QString&)
{
    textDialogs << label;
    if (texts.empty())
        return std::nullopt;
    const bool typed = texts.front().has_value();
    const QString text = typed ? *texts.front() : QString();
    texts.pop_front();
    if (!typed)
        return std::nullopt;
    return text;
}

bool ScriptedPrompts::confirmList(QWidget*, const QString&, const QString&, const QStringList& rows)
{
    confirmedLists << rows;
    return takeFront(confirmations, false);
}

QString ScriptedPrompts::saveFileName(QWidget*, const FileDialog& dialog)
{
    saveDialogs << dialog;
    return takeFront(saveFiles, QString());
}

std::optional<QFont> ScriptedPrompts::chooseFont(QWidget*, const QFont& initial)
{
    fontDialogs << initial;
    return takeFront(fonts, std::optional<QFont>());
}
