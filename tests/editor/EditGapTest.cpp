// The edit control's gap follows the caret of a large text in idle time
// and leaves no trace: the text, its styles, the undo history and the
// modified flag are as they were.
#include "EditorFixture.h"

#include "editor/EditGap.h"

#include <Qsci/qsciscintilla.h>

#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

long send(CTarnView& view, unsigned int message, unsigned long w = 0, long l = 0)
{
    return view.SendScintilla(message, w, l);
}

QByteArray textOf(CTarnView& view)
{
    const long length = send(view, QsciScintillaBase::SCI_GETLENGTH);
    const auto* bytes = reinterpret_cast<const char*>(view.SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return QByteArray(bytes, length);
}

// Numbered declarations ("int value_N = 1;" and the rest) up to `bytes`.
QByteArray declarations(qsizetype bytes, const QByteArray& rest)
{
    QByteArray text;
    for (int i = 0; text.size() < bytes; ++i)
        text += "int value_" + QByteArray::number(i) + " = 1;" + rest;
    return text;
}

// The style of every 997th byte.
QByteArray someStyles(CTarnView& view)
{
    QByteArray styles;
    const long length = send(view, QsciScintillaBase::SCI_GETLENGTH);
    for (long at = 0; at < length; at += 997)
        styles += char(send(view, QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(at)));
    return styles;
}

TEST(EditGap, FollowsTheCaretOfALargeTextWithoutATrace)
{
    const QByteArray text = declarations(6 * 1024 * 1024, " /* one */\n");
    EditorFixture f;
    CTarnView* view = EditorFixture::viewOf(f.openBytes("big.c", text));
    ASSERT_NE(view, nullptr);
    auto gap = [&] { return send(*view, QsciScintillaBase::SCI_GETGAPPOSITION); };
    auto caret = [&] { return send(*view, QsciScintillaBase::SCI_GETCURRENTPOS); };
    // Loaded with the gap at the top, where the caret is.
    EXPECT_EQ(gap(), 0);

    view->setFocus();
    QTest::keyClicks(view, "x");
    const long length = send(*view, QsciScintillaBase::SCI_GETLENGTH);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return send(*view, QsciScintillaBase::SCI_GETENDSTYLED) >= length; }, 60000));
    const QByteArray before = textOf(*view);
    const QByteArray stylesBefore = someStyles(*view);

    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    ASSERT_TRUE(testsupport::waitUntil([&] { return std::abs(caret() - gap()) < 256 * 1024; }, 30000))
        << "gap " << gap() << ", caret " << caret();
    EXPECT_TRUE(textOf(*view) == before);
    EXPECT_TRUE(someStyles(*view) == stylesBefore);
    EXPECT_EQ(send(*view, QsciScintillaBase::SCI_GETENDSTYLED), length);
    EXPECT_TRUE(view->isModified());
    EXPECT_EQ(caret(), length);

    // Typing there; undo takes back that key and then the first.
    QTest::keyClicks(view, "y");
    EXPECT_TRUE(textOf(*view) == before + "y");
    view->undo();
    view->undo();
    EXPECT_TRUE(textOf(*view) == text);
    EXPECT_FALSE(view->isModified());

    // A read-only window is left alone.
    view->setReadOnly(true);
    EXPECT_FALSE(MoveEditGap(*view, 0));
    EXPECT_TRUE(textOf(*view) == text);
}

TEST(EditGap, SavingALargeTextLeavesTheGapAtTheCaret)
{
    const QByteArray text = declarations(2 * 1024 * 1024, "\r\n");
    EditorFixture f;
    CTarnDoc* doc = f.openBytes("big.c", text);
    CTarnView* view = EditorFixture::viewOf(doc);
    ASSERT_NE(view, nullptr);
    view->setFocus();
    QTest::keyClicks(view, "x");
    const long gap = send(*view, QsciScintillaBase::SCI_GETGAPPOSITION);
    EXPECT_LT(gap, 64);
    // Saved byte for byte from both sides of the gap, which stays put.
    ASSERT_TRUE(doc->doFileSave());
    EXPECT_EQ(send(*view, QsciScintillaBase::SCI_GETGAPPOSITION), gap);
    EXPECT_TRUE(testsupport::readFile(f.path("big.c")) == "x" + text);
    EXPECT_TRUE(view->textCopy() == "x" + text);
    EXPECT_FALSE(doc->isModified());
}

TEST(EditGap, WordCompletionReadsEveryWindowWhereItsGapIs)
{
    const QByteArray text = declarations(2 * 1024 * 1024, "\n");
    EditorFixture f;
    CTarnView* other = EditorFixture::viewOf(f.openBytes("other.c", "int value_other;\n" + text));
    CTarnView* view = EditorFixture::viewOf(f.openBytes("big.c", text));
    ASSERT_NE(other, nullptr);
    ASSERT_NE(view, nullptr);
    auto gap = [](CTarnView* v) { return send(*v, QsciScintillaBase::SCI_GETGAPPOSITION); };
    // The gaps sit inside words: after the typed "value_oth" here (in
    // "value_oth|int"), in "int value_|other" there.
    view->setFocus();
    QTest::keyClicks(view, "value_oth");
    send(*other, QsciScintillaBase::SCI_INSERTTEXT, 10, long("_"));
    send(*other, QsciScintillaBase::SCI_DELETERANGE, 10, 1);
    const long viewGap = gap(view);
    const long otherGap = gap(other);
    ASSERT_LT(viewGap, 64);
    ASSERT_LT(otherGap, 64);

    EXPECT_TRUE(view->showWordCompletion());
    // The one word that fits went in: "value_other", whole although the
    // other window's gap cut it.
    EXPECT_TRUE(view->textCopy().startsWith("value_otherint value_0"));
    EXPECT_EQ(gap(other), otherGap);
    EXPECT_LT(gap(view), 64);
}

} // namespace
