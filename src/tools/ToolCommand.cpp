#include "tools/Invocation.h"

#include "tools/CommandLine.h"

void ToolCommand::appendText(const QString& fragment)
{
    m_line += fragment;
    m_arguments += fragment.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

void ToolCommand::appendWord(const QString& word)
{
    m_line += word;
    m_arguments += word;
}

void ToolCommand::appendFreeText(const QString& text)
{
    m_line += text;
    m_arguments += SplitCommandLine(text);
}
