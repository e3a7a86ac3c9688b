#pragma once

#include "framework/View.h"
#include "messages/MessageListWidget.h"
#include "messages/MessageSink.h"

#include <QRegularExpression>

#include <functional>

class MessageChannel;
class TipChooser;

// The view of the message window: the one log every tool and command writes
// to. It is the program's MessageSink, so AddMessage and ClearMessages from
// any thread end up here, on the user-interface thread.
class CMessageView : public MessageListWidget, public fw::View, public MessageSink {
    Q_OBJECT
public:
    explicit CMessageView(QWidget* parent = nullptr);
    ~CMessageView() override;

    QWidget* widget() override { return this; }
    // Shows the banner the first time; later calls (settings re-applied)
    // leave the log alone.
    void onInitialUpdate() override;

    // Classifies the text and appends it; withSeparator 1 adds a separator
    // row after it, any other value none.
    void AppendLine(const QString& text, int withSeparator) override;
    void ClearMessageRows() override { ClearMessages(); }
    // Stores the rows straight from the bytes (no string per row).
    void AppendStreamRows(const QByteArray& bytes, bool streamEnd, int rowIcon) override
    {
        appendStreamRows(bytes, streamEnd, rowIcon);
    }
    QObject* sinkObject() override { return this; }
    // Rows of no tool run are taken as written in Tarn's current directory
    // at the time they arrive.
    void SetRowDirectory(const QString& directory) override;
    // Shows the text in the main window's status bar for 10 seconds.
    void ShowStatus(const QString& text) override;

    // Deletes every row; the column width becomes 0.
    void ClearMessages();
    // Appends the version banner and a separator row.
    void ShowBanner();
    // Appends a tip (never the one shown last) and a separator row.
    void OnTip();
    // Opens the file named by the selected diagnostic row and hands its line
    // to the opened document's first view when that view can select lines.
    void OnDoubleClick();
    // Moves the selection to the next (step 1) or previous (step -1) row
    // after the selected one that names a place: a diagnostic whose file
    // (resolved as a double click resolves it) exists as a file and whose
    // line is above 0. Scrolls it into view and follows it as a double
    // click does. With no selection the search starts before the first
    // (after the last) row. Returns false, changing nothing, when there is
    // no such row.
    bool StepToDiagnostic(int step);
    // The file a diagnostic row names: a relative name is taken in the
    // folder of the tool run that wrote the row, never in whatever folder
    // is current now.
    QString rowFile(int row, const QString& fileName) const;
    // Activates the message window and shows its context menu.
    void OnContextMenu(const QPoint& globalPos);

    // Makes this view the channel's sink, until the view goes away or
    // leaves it.
    void installAsMessageSink(MessageChannel& channel);
    // Stops being the channel's sink and forgets the channel (before the
    // channel goes away while this view still lives).
    void leaveMessageChannel();
    // What the last Find in Files looked for: following one of its match
    // rows selects the match itself, not the whole line.
    void setSearchedFor(const QRegularExpression& pattern) { m_searchedFor = pattern; }
    // The chooser OnTip draws from (the program's one unless set).
    void setTipChooser(TipChooser* chooser) { m_tipChooser = chooser; }
    // Tarn's current directory, which rows without a folder of their own
    // are read against (the process's current directory until set).
    void setCurrentDirectory(std::function<QString()> directory) { m_currentDirectory = std::move(directory); }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QString currentDirectory() const;

    MessageChannel* m_channel = nullptr;
    QRegularExpression m_searchedFor;
    TipChooser* m_tipChooser = nullptr;
    std::function<QString()> m_currentDirectory;
    bool m_initialised = false;
};
