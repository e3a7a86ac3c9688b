// Word completion in a source window (Ctrl+Space).
#include "editor/CTarnView.h"

#include "framework/Application.h"
#include "framework/MdiChildFrame.h"
#include "framework/MdiMainFrame.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

// The window of names (the project) that was active last, if any is open.
const CompletionNameSource* activeNameSource(fw::MdiMainFrame* frame)
{
    const QList<QMdiSubWindow*> windows =
        frame->mdiArea()->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        auto* child = qobject_cast<fw::MdiChildFrame*>(*it);
        if (auto* source =
                child ? dynamic_cast<const CompletionNameSource*>(child->view()) : nullptr)
            return source;
    }
    return nullptr;
}

} // namespace

bool CTarnView::showWordCompletion()
{
    // Every text is read where it lies, on both sides of its edit
    // control's gap: gathering a large text in one piece would move the
    // gap across it, and the next key back.
    const TextPieces text = textPieces();
    const qsizetype caret = SendScintilla(SCI_GETCURRENTPOS);
    const QByteArray prefix = WordPrefixBefore(text, caret);
    // The word being typed is no offer of its own.
    const qsizetype wordStart = caret - prefix.size();
    const qsizetype wordEnd = WordEndAfter(text, caret);
    CompletionWords words;
    CollectCompletionWords(text.range(0, wordStart), prefix, words);
    CollectCompletionWords(text.range(wordEnd, text.size()), prefix, words);
    if (fw::MdiMainFrame* frame = mainFrame()) {
        for (fw::MdiChildFrame* child : frame->childFrames()) {
            auto* other = dynamic_cast<CTarnView*>(child->view());
            if (other && other != this)
                CollectCompletionWords(other->textPieces(), prefix, words);
        }
        if (const CompletionNameSource* names = activeNameSource(frame))
            CollectCompletionNames(names->completionNames(), prefix, words);
    }
    m_completionWords = std::move(words);
    SendScintilla(SCI_AUTOCSETSEPARATOR, static_cast<unsigned long>(' '));
    SendScintilla(SCI_AUTOCSETIGNORECASE, 0UL);
    // Closes by itself when what is typed fits no word any more.
    SendScintilla(SCI_AUTOCSETAUTOHIDE, 1UL);
    // Backspace may go back to the prefix the popup opened with (each
    // narrowing opens it again where the caret is).
    SendScintilla(SCI_AUTOCSETCANCELATSTART, 0UL);
    SendScintilla(SCI_AUTOCSETORDER, static_cast<unsigned long>(SC_ORDER_PRESORTED));
    // Asked for: the one word that fits goes in at once. Narrowing while
    // typing opens the list again, one word or more.
    SendScintilla(SCI_AUTOCSETCHOOSESINGLE, 1UL);
    narrowWordCompletion();
    SendScintilla(SCI_AUTOCSETCHOOSESINGLE, 0UL);
    if (m_completionList.isEmpty()) {
        if (fw::MdiMainFrame* frame = mainFrame())
            frame->showLastingStatus(QStringLiteral("No completions"), 5000);
        return false;
    }
    return true;
}

void CTarnView::narrowWordCompletion()
{
    const QByteArray prefix = WordPrefixBefore(textPieces(), SendScintilla(SCI_GETCURRENTPOS));
    m_completionList = CompletionList(m_completionWords, prefix, kMaxCompletionWords);
    if (m_completionList.isEmpty()) {
        SendScintilla(SCI_AUTOCCANCEL);
        m_completionWords.clear();
        return;
    }
    SendScintilla(SCI_AUTOCSHOW, static_cast<uintptr_t>(prefix.size()),
                  m_completionList.constData());
}
