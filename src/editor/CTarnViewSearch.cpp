// Find, Find Next and Replace of the source view.
#include "editor/CTarnView.h"

#include "editor/FindReplaceDialog.h"
#include "framework/Prompts.h"

namespace {

int searchFlags(const FindRequest& request)
{
    return (request.matchCase ? QsciScintillaBase::SCFIND_MATCHCASE : 0)
           | (request.wholeWord ? QsciScintillaBase::SCFIND_WHOLEWORD : 0);
}

} // namespace

std::optional<QByteArray> CTarnView::encode(const QString& text) const
{
    if (SendScintilla(SCI_GETCODEPAGE) == SC_CP_UTF8)
        return text.toUtf8();
    // A file shown byte for byte (not UTF-8) holds Latin-1 characters only:
    // a text with any other character cannot occur in it, nor be put in.
    for (QChar c : text) {
        if (c.unicode() > 0xff)
            return std::nullopt;
    }
    return text.toLatin1();
}

void CTarnView::reportUnwritable(const QString& text)
{
    fw::Prompts::current().message(
        this,
        QStringLiteral("The text \"%1\" cannot be written in this file's character set.").arg(text),
        fw::Prompts::Buttons::Ok, fw::Prompts::Icon::Warning);
}

void CTarnView::reportNotFound(const QString& text)
{
    fw::Prompts::current().message(this, QStringLiteral("Cannot find the string \"%1\".").arg(text),
                                   fw::Prompts::Buttons::Ok, fw::Prompts::Icon::Information);
}

bool CTarnView::matchesSelection(const FindRequest& request) const
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    if (start == end)
        return false;
    const std::optional<QByteArray> needle = encode(request.text);
    if (!needle)
        return false;
    SendScintilla(SCI_SETSEARCHFLAGS, static_cast<unsigned long>(searchFlags(request)));
    SendScintilla(SCI_SETTARGETSTART, static_cast<unsigned long>(start));
    SendScintilla(SCI_SETTARGETEND, static_cast<unsigned long>(end));
    const long found =
        SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(needle->size()), needle->constData());
    return found == start && SendScintilla(SCI_GETTARGETEND) == end;
}

bool CTarnView::findNext(const FindRequest& request)
{
    m_lastFind = request;
    m_hasSearched = true;
    if (request.text.isEmpty())
        return false;
    const std::optional<QByteArray> needle = encode(request.text);
    if (!needle) {
        reportNotFound(request.text);
        return false;
    }
    const long length = SendScintilla(SCI_GETLENGTH);
    // Downwards from the end of the selection, upwards from its start
    // (Scintilla searches backwards when the target runs from end to start).
    const long from = SendScintilla(request.down ? SCI_GETSELECTIONEND : SCI_GETSELECTIONSTART);
    const long to = request.down ? length : 0;
    SendScintilla(SCI_SETSEARCHFLAGS, static_cast<unsigned long>(searchFlags(request)));
    SendScintilla(SCI_SETTARGETSTART, static_cast<unsigned long>(from));
    SendScintilla(SCI_SETTARGETEND, static_cast<unsigned long>(to));
    const long found =
        SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(needle->size()), needle->constData());
    if (found < 0) {
        reportNotFound(request.text);
        return false;
    }
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(found), SendScintilla(SCI_GETTARGETEND));
    return true;
}

bool CTarnView::replaceCurrent(const FindRequest& request)
{
    m_lastFind = request;
    m_hasSearched = true;
    if (request.text.isEmpty())
        return false;
    if (matchesSelection(request)) {
        const std::optional<QByteArray> replacement = encode(request.replacement);
        if (!replacement) {
            reportUnwritable(request.replacement);
            return false;
        }
        SendScintilla(SCI_TARGETFROMSELECTION);
        SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(replacement->size()),
                      replacement->constData());
        const long caret = SendScintilla(request.down ? SCI_GETTARGETEND : SCI_GETTARGETSTART);
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(caret), caret);
    }
    return findNext(request);
}

int CTarnView::replaceAll(const FindRequest& request)
{
    m_lastFind = request;
    m_hasSearched = true;
    if (request.text.isEmpty())
        return 0;
    const std::optional<QByteArray> needle = encode(request.text);
    if (!needle) {
        reportNotFound(request.text);
        return 0;
    }
    const std::optional<QByteArray> replacement = encode(request.replacement);
    if (!replacement) {
        reportUnwritable(request.replacement);
        return 0;
    }
    SendScintilla(SCI_SETSEARCHFLAGS, static_cast<unsigned long>(searchFlags(request)));
    int count = 0;
    long from = 0;
    beginUndoAction();
    for (;;) {
        SendScintilla(SCI_SETTARGETSTART, static_cast<unsigned long>(from));
        SendScintilla(SCI_SETTARGETEND, SendScintilla(SCI_GETLENGTH));
        if (SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(needle->size()),
                          needle->constData()) < 0)
            break;
        SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(replacement->size()),
                      replacement->constData());
        from = SendScintilla(SCI_GETTARGETEND);
        ++count;
    }
    endUndoAction();
    if (count == 0)
        reportNotFound(request.text);
    else
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(from), from);
    return count;
}

void CTarnView::showFindDialog(bool replace)
{
    if (!m_findDialog) {
        m_findDialog = new FindReplaceDialog(this);
        connect(m_findDialog, &FindReplaceDialog::findNextRequested, this,
                [this](const FindRequest& r) { findNext(r); });
        connect(m_findDialog, &FindReplaceDialog::replaceRequested, this,
                [this](const FindRequest& r) { replaceCurrent(r); });
        connect(m_findDialog, &FindReplaceDialog::replaceAllRequested, this,
                [this](const FindRequest& r) { replaceAll(r); });
    }
    FindRequest start = m_lastFind;
    if (hasSelectedText() && !selectedText().contains(QLatin1Char('\n')))
        start.text = selectedText();
    m_findDialog->present(replace, start);
}
