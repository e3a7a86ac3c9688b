// The Scintilla adapter must answer exactly like the in-memory buffer on
// the same texts, whatever line breaks the file holds: at every position,
// for every range and selection (the buffer's own answers are pinned in
// MemoryEditControlTest).
#include "editor/ScintillaEditControl.h"
#include "EditControlCases.h"
#include "editor/CTarnView.h"
#include "editor/LineSelection.h"
#include "settings/IdeContext.h"
#include "support/MemoryEditControl.h"

#include <gtest/gtest.h>

namespace {

void expectSameAnswers(EditControl& actual, EditControl& expected)
{
    ASSERT_EQ(actual.textLength(), expected.textLength());
    ASSERT_EQ(actual.lineCount(), expected.lineCount());
    EXPECT_EQ(actual.text(), expected.text());
    for (int line = -1; line <= expected.lineCount(); ++line) {
        EXPECT_EQ(actual.lineIndex(line), expected.lineIndex(line)) << "line " << line;
        EXPECT_EQ(actual.lineLength(line), expected.lineLength(line)) << "line " << line;
    }
    const long length = expected.textLength();
    for (long p = -1; p <= length + 1; ++p) {
        EXPECT_EQ(actual.lineFromChar(p), expected.lineFromChar(p)) << "position " << p;
        for (long q = p; q <= length + 1; q += 3)
            EXPECT_EQ(actual.textRange(p, q), expected.textRange(p, q)) << p << ".." << q;
        actual.setSelection(p, length - p);
        expected.setSelection(p, length - p);
        EXPECT_EQ(actual.selection(), expected.selection()) << "selection from " << p;
        EXPECT_EQ(actual.caret(), expected.caret()) << "selection from " << p;
        EXPECT_EQ(actual.lineIndex(-1), expected.lineIndex(-1)) << "selection from " << p;
    }
}

} // namespace

TEST(ScintillaEditControl, AnswersLikeTheMemoryBuffer)
{
    for (const EditText& text : editTexts()) {
        SCOPED_TRACE(text.name);
        IdeContext context;
        CTarnView view(context);
        view.loadText(text.bytes);
        MemoryEditControl memory(text.bytes);
        expectSameAnswers(view.editControl(), memory);
    }
}

// Inserted breaks take the file's kind; for an LF file that is pinned in
// SourceDocument.EditsAreSavedWithTheFilesOrTheHostsLineBreaks.
TEST(ScintillaEditControl, ReplaceSelectionKeepsTheFilesLineBreaksAndEveryByte)
{
    IdeContext context;
    CTarnView view(context);
    view.loadText("a\r\nb");
    MemoryEditControl memory("a\r\nb");
    for (EditControl* edit :
         {static_cast<EditControl*>(&view.editControl()), static_cast<EditControl*>(&memory)}) {
        edit->setSelection(1, 1);
        edit->replaceSelection(QByteArray("\r\n{\0", 4));
    }
    EXPECT_EQ(view.textCopy(), QByteArray("a\r\n{\0\r\nb", 8));
    EXPECT_EQ(view.editControl().caret(), memory.caret());
    // The cached line-break counts follow the edit.
    expectSameAnswers(view.editControl(), memory);
}

TEST(ScintillaEditControl, CountsStayRightAfterEditsBeforeAndAfterWhatWasCounted)
{
    // Mixed breaks, counted to the end first; then edits in the middle and
    // near the top, made behind the adapter's back, change the breaks of
    // lines already counted (the first one turns an LF into CR LF).
    const QByteArray text = QByteArray("ab\ncd\r\nef\rgh\n").repeated(6);
    IdeContext context;
    CTarnView view(context);
    view.loadText(text);
    MemoryEditControl memory(text);
    ScintillaEditControl& edit = view.editControl();
    EXPECT_EQ(edit.textLength(), memory.textLength());
    const std::pair<unsigned long, QByteArray> steps[] = {
        {2, "\r"}, {40, "x\r\ny\r\n"}, {5, "\r\n\r\n"}, {60, "z"}};
    for (const auto& [at, inserted] : steps) {
        view.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, at, inserted.constData());
        memory = MemoryEditControl(view.textCopy());
        EXPECT_EQ(edit.lineFromChar(memory.textLength() - 1),
                  memory.lineFromChar(memory.textLength() - 1));
        EXPECT_EQ(edit.lineIndex(20), memory.lineIndex(20));
    }
    expectSameAnswers(edit, memory);
}
