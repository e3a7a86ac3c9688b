// The Advanced Options sheet, driven through its real widgets.
#include "tools/AdvancedSheet.h"
#include "tools/ModalDriver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

template <typename T>
T* child(QWidget* sheet, const char* name)
{
    T* widget = sheet->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void click(QWidget* sheet, const char* name)
{
    QAbstractButton* button = child<QAbstractButton>(sheet, name);
    ASSERT_TRUE(button && button->isVisible()) << name;
    // Near the left end, where a check box's box and label are: a wide
    // sheet leaves the middle of a long check box empty.
    QTest::mouseClick(button, Qt::LeftButton, {},
                      QPoint(std::min(button->width() / 2, 8), button->height() / 2));
}

void pressButton(CAdvancedSheet* sheet, QDialogButtonBox::StandardButton which)
{
    QTest::mouseClick(child<QDialogButtonBox>(sheet, "buttons")->button(which), Qt::LeftButton);
}

// Runs EditCompileOptions and drives the sheet once it is up.
bool runSheet(CompileOptions& options, const std::function<void(CAdvancedSheet*)>& drive)
{
    bool accepted = false;
    EXPECT_TRUE(DriveModal<CAdvancedSheet>([&] { accepted = EditCompileOptions(nullptr, options); }, drive));
    return accepted;
}

// Changes a control on every page, the Overall page first.
void changeEveryPage(CAdvancedSheet* sheet)
{
    click(sheet, "noAssemble");

    click(sheet, "preprocessOnly");
    click(sheet, "debugInfo");
    click(sheet, "language4");
    sheet->tabs()->setCurrentIndex(1);
    click(sheet, "ansi");
    click(sheet, "noAsm");
    click(sheet, "traditional");
    sheet->tabs()->setCurrentIndex(2);
    click(sheet, "warningLevel3");
    sheet->tabs()->setCurrentIndex(3);
    click(sheet, "optimizeLevel2");
    sheet->tabs()->setCurrentIndex(4);
    QLineEdit* other = child<QLineEdit>(sheet, "otherOptions");
    other->setFocus();
    QTest::keyClicks(other, QStringLiteral(" -DX"));
}

TEST(AdvancedSheet, PagesControlsTextsAndLayout)
{
    CAdvancedSheet sheet(CompileOptions{});
    sheet.show();
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Advanced Options"));
    const QStringList titles{"Overall", "C Dialect", "Warnings", "Optimization", "Other"};
    ASSERT_EQ(sheet.tabs()->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(sheet.tabs()->tabText(i), titles[i]);
    EXPECT_EQ(sheet.tabs()->currentIndex(), 0);

    const std::pair<const char*, const char*> texts[] = {
        {"noAssemble", "-S (do not assemble)"},
        {"preprocessOnly", "-E (preprocess only)"},
        {"debugInfo", "-g (Generate Debug Info)"},
        {"language0", "do not force"},
        {"language1", "c"},
        {"language2", "objective-c"},
        {"language3", "c++"},
        {"language4", "c-header"},
        {"language5", "cpp-output"},
        {"language6", "c++-cpp-output"},
        {"language7", "assembler"},
        {"ansi", "-ansi (ansi standard code only)"},
        {"noAsm", "-fno-asm (no inline assembly)"},
        {"traditional", "-traditional (older compiler compatibility)"},
        {"warningLevel0", "default warnings"},
        {"warningLevel1", "-w (no warnings)"},
        {"warningLevel2", "-Wall (warnings for uncommon mistakes)"},
        {"warningLevel3", "-W (warnings for tricky mistakes)"},
        {"warningLevel4", "-Werror (warnings as errors)"},
        {"optimizeLevel0", "no optimization"},
        {"optimizeLevel1", "-O1 (some optimization)"},
        {"optimizeLevel2", "-O2 (aggressive optimization)"},
        {"optimizeLevel3", "-O3 (very aggressive optimization)"},
    };
    for (const auto& [name, text] : texts) {
        if (auto* button = child<QAbstractButton>(&sheet, name)) {
            EXPECT_EQ(button->text(), QString::fromLatin1(text)) << name;
        }
    }
    EXPECT_EQ(child<QCheckBox>(&sheet, "debugInfo")->metaObject(), &QCheckBox::staticMetaObject);
    EXPECT_EQ(child<QRadioButton>(&sheet, "language0")->parentWidget()->property("title"),
              QStringLiteral("-X (force language)"));
    EXPECT_EQ(child<QLabel>(&sheet, "optimizeWarning")->text(),
              QStringLiteral("Warning: optimizing options should not be used with the -g "
                             "(debug info) option"));
    EXPECT_EQ(child<QLabel>(&sheet, "otherLabel")->text(),
              QStringLiteral("If you would like any other options passed to GCC, enter them "
                             "here:"));

    // The language buttons stand in two columns.
    QApplication::processEvents();
    auto at = [&](int value) {
        const std::string name = "language" + std::to_string(value);
        return child<QRadioButton>(&sheet, name.c_str())->geometry();
    };
    for (int left : {1, 2, 3})
        EXPECT_EQ(at(left).x(), at(0).x());
    for (int right : {4, 6, 7})
        EXPECT_EQ(at(right).x(), at(5).x());
    EXPECT_GT(at(5).x(), at(0).x());
    // Down each column in this order; "c-header" last on the right.
    for (const auto& column : {std::vector{0, 1, 2, 3}, std::vector{5, 6, 7, 4}})
        for (size_t i = 1; i < column.size(); ++i)
            EXPECT_GT(at(column[i]).y(), at(column[i - 1]).y());
}

// What OK, Cancel, Escape and closing hand back. Pages never opened hand
// back what they were given, even values they could not show; an opened
// page reads its controls (language 8 has no button: -1).
TEST(AdvancedSheet, WhatEachEndingHandsBack)
{
    using Drive = std::function<void(CAdvancedSheet*)>;
    const auto ok = [](CAdvancedSheet* sheet) { pressButton(sheet, QDialogButtonBox::Ok); };
    const auto changeThen = [](Drive end) {
        return [end](CAdvancedSheet* sheet) {
            changeEveryPage(sheet);
            end(sheet);
        };
    };
    const auto showPages = [ok](std::vector<int> pages) {
        return [ok, pages](CAdvancedSheet* sheet) {
            for (int page : pages)
                sheet->tabs()->setCurrentIndex(page);
            ok(sheet);
        };
    };
    const auto noLanguageChecked = [](CAdvancedSheet* sheet) {
        for (int value = 0; value < 8; ++value) {
            const std::string name = "language" + std::to_string(value);
            EXPECT_FALSE(child<QRadioButton>(sheet, name.c_str())->isChecked()) << name;
        }
        pressButton(sheet, QDialogButtonBox::Cancel);
    };
    // Fields: ansi, noAsm, traditional, optimizeLevel, otherOptions,
    // preprocessOnly, noAssemble, debugInfo, language, warningLevel.
    const CompileOptions stored{0, 0, 0, 1, "-DSTORED", 0, 0, 0, 1, 2};
    // The warning label stops nothing; the other options have no length limit.
    const CompileOptions shown{0, 0, 0, 3, "  -DA  " + QString(40000, 'x'), 0, 0, 1, 1, 2};
    const CompileOptions stray{2, 0, 0, 7, "", 0, 0, 0, 8, 9};
    const struct {
        const char* name;
        CompileOptions start;
        Drive drive;
        bool accepted;
        CompileOptions expected;
    } cases[] = {
        {"every page changed, OK", stored, changeThen(ok), true, {1, 1, 1, 2, "-DSTORED -DX", 1, 1, 1, 4, 3}},
        {"Cancel", stored,
         changeThen([](CAdvancedSheet* s) { pressButton(s, QDialogButtonBox::Cancel); }), false,
         stored},
        {"Escape", stored, changeThen([](CAdvancedSheet* s) { QTest::keyClick(s, Qt::Key_Escape); }), false, stored},
        {"closed", stored, changeThen([](CAdvancedSheet* s) { s->close(); }), false, stored},
        {"every page shown, OK", shown, showPages({0, 1, 2, 3, 4}), true, shown},
        {"only the first page opened", stray, ok, true, {2, 0, 0, 7, "", 0, 0, 0, -1, 9}},
        {"the warnings page opened too", stray, showPages({2}), true, {2, 0, 0, 7, "", 0, 0, 0, -1, -1}},
        {"language 8 shows no button", stray, noLanguageChecked, false, stray},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CompileOptions options = c.start;
        EXPECT_EQ(runSheet(options, c.drive), c.accepted);
        EXPECT_EQ(options, c.expected);
    }
}

// Every tab of the sheet is visible whole, at the size the sheet opens
// with, in a small and a large desktop font.
TEST(AdvancedSheet, OpensWideEnoughForEveryTab)
{
    const QFont previous = QApplication::font();
    for (int points : {9, 14}) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(points);
        QApplication::setFont(font);
        CompileOptions options;
        runSheet(options, [&](CAdvancedSheet* sheet) {
            QTabBar* bar = sheet->tabs()->tabBar();
            ASSERT_EQ(bar->count(), 5);
            for (int i = 0; i < bar->count(); ++i) {
                const QRect tab = bar->tabRect(i);
                EXPECT_TRUE(bar->rect().contains(tab))
                    << points << " pt, tab " << i << " " << bar->tabText(i).toStdString();
                EXPECT_GE(tab.width(), bar->fontMetrics().horizontalAdvance(bar->tabText(i)))
                    << points << " pt, tab " << i;
            }
            // No scroll arrows.
            for (QWidget* arrow : bar->findChildren<QWidget*>())
                EXPECT_FALSE(arrow->isVisible()) << points << " pt";
            sheet->reject();
        });
    }
    QApplication::setFont(previous);
}

} // namespace
