#include "tools/CommandLine.h"

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

// Inside double quotes a POSIX shell lets a backslash escape only these.
bool escapableInDoubleQuotes(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\\') || c == QLatin1Char('$') ||
           c == QLatin1Char('`');
}

class Splitter {
public:
    explicit Splitter(const QString& line) : m_line(line) {}

    QStringList split()
    {
        while (m_pos < m_line.size()) {
            const QChar c = m_line.at(m_pos);
            if (isBlank(c)) {
                finishWord();
                ++m_pos;
            } else if (c == QLatin1Char('"')) {
                m_inWord = true;
                readDoubleQuoted();
            } else if (c == QLatin1Char('\'')) {
                m_inWord = true;
                readSingleQuoted();
            } else if (c == QLatin1Char('\\') && m_pos + 1 < m_line.size()) {
                m_inWord = true;
                m_word += m_line.at(m_pos + 1);
                m_pos += 2;
            } else {
                m_inWord = true;
                m_word += c;
                ++m_pos;
            }
        }
        finishWord();
        return m_words;
    }

private:
    void finishWord()
    {
        if (m_inWord)
            m_words.append(m_word);
        m_word.clear();
        m_inWord = false;
    }

    void readSingleQuoted()
    {
        ++m_pos; // opening quote
        while (m_pos < m_line.size() && m_line.at(m_pos) != QLatin1Char('\''))
            m_word += m_line.at(m_pos++);
        ++m_pos; // closing quote (or past the end)
    }

    void readDoubleQuoted()
    {
        ++m_pos;
        while (m_pos < m_line.size() && m_line.at(m_pos) != QLatin1Char('"')) {
            const QChar c = m_line.at(m_pos);
            if (c == QLatin1Char('\\') && m_pos + 1 < m_line.size() &&
                escapableInDoubleQuotes(m_line.at(m_pos + 1))) {
                m_word += m_line.at(m_pos + 1);
                m_pos += 2;
                continue;
            }
            m_word += c;
            ++m_pos;
        }
        ++m_pos;
    }

    const QString& m_line;
    qsizetype m_pos = 0;
    QString m_word;
    bool m_inWord = false;
    QStringList m_words;
};

} // namespace

QStringList SplitCommandLine(const QString& commandLine)
{
    return Splitter(commandLine).split();
}
