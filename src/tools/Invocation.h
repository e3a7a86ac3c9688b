#pragma once

#include <QString>
#include <QStringList>

// One child to start: the program, its arguments (each one reaches the child
// whole, nothing is split again or run through a shell) and the folder it
// starts in. Built on the calling thread and handed to the runner by value.
struct Invocation {
    QString program;
    QStringList arguments;
    // Empty: the process's own current directory.
    QString workingDirectory;

    friend bool operator==(const Invocation&, const Invocation&) = default;
};

// A composed tool command: the line the message window shows (the plain
// concatenation of its fragments, every fragment with its own trailing
// blank) and the argument list the child gets, built side by side.
//
//   ToolCommand c("/usr/bin/gcc");           line "/usr/bin/gcc"
//   c.appendText(" ");  c.appendWord("/my dir/a.c");  c.appendText(" -c ");
//   -> line "/usr/bin/gcc /my dir/a.c -c ", arguments {"/my dir/a.c", "-c"}
class ToolCommand {
public:
    ToolCommand() = default;
    // Starts the line with the program path, taken whole.
    explicit ToolCommand(const QString& program) : m_line(program), m_program(program) {}

    // A fixed fragment such as " -c " or "-x c ": shown as it is; its words
    // (separated by blanks) become arguments.
    void appendText(const QString& fragment);
    // One argument whatever it holds (a path with blanks, quotes or '$'),
    // shown as it is.
    void appendWord(const QString& word);
    // Free text the user typed as several words (other options, Run's
    // arguments): shown as it is, split into arguments the way a shell would,
    // without expanding anything.
    void appendFreeText(const QString& text);

    const QString& line() const { return m_line; }
    const QString& program() const { return m_program; }
    const QStringList& arguments() const { return m_arguments; }
    Invocation invocation(const QString& workingDirectory = QString()) const
    {
        return {m_program, m_arguments, workingDirectory};
    }

private:
    QString m_line;
    QString m_program;
    QStringList m_arguments;
};
