// Where remembered and new child windows go in the MDI client area.
#include "framework/MdiLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(MdiLayout, ARememberedPlaceComesBackWholeOnTheArea)
{
    const QRect space(0, 0, 1000, 600);
    struct Case {
        const char* name;
        QRect place;
        QRect expected;
    };
    const Case cases[] = {
        {"inside stays", QRect(40, 30, 500, 300), QRect(40, 30, 500, 300)},
        {"off the right and bottom edges", QRect(900, 550, 500, 300), QRect(500, 300, 500, 300)},
        {"negative corner", QRect(-300, -40, 500, 300), QRect(0, 0, 500, 300)},
        {"far off every screen", QRect(80000, -90000, 200, 100), QRect(800, 0, 200, 100)},
        {"from a larger screen", QRect(100, 100, 2560, 1400), QRect(0, 0, 1000, 600)},
        {"wider only", QRect(100, 100, 1200, 100), QRect(0, 100, 1000, 100)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fw::clampPlace(c.place, space), c.expected) << c.name;
    // An area that is not at the origin.
    EXPECT_EQ(fw::clampPlace(QRect(0, 0, 100, 100), QRect(50, 60, 400, 300)), QRect(50, 60, 100, 100));
    // No area yet: the place stands as it is.
    EXPECT_EQ(fw::clampPlace(QRect(5, 6, 70, 80), QRect()), QRect(5, 6, 70, 80));
}

TEST(MdiLayout, NewWindowsStepDownAndStartOverWhenTheyWouldLeave)
{
    const QRect space(0, 0, 600, 400);
    int index = 0;
    EXPECT_EQ(fw::newChildGeometry(&index, QSize(400, 300), space, 30), QRect(0, 0, 400, 300));
    EXPECT_EQ(fw::newChildGeometry(&index, QSize(400, 300), space, 30), QRect(30, 30, 400, 300));
    EXPECT_EQ(fw::newChildGeometry(&index, QSize(400, 300), space, 30), QRect(60, 60, 400, 300));
    EXPECT_EQ(fw::newChildGeometry(&index, QSize(400, 300), space, 30), QRect(90, 90, 400, 300));
    // 120 + 300 passes the bottom: the top left again.
    EXPECT_EQ(fw::newChildGeometry(&index, QSize(400, 300), space, 30), QRect(0, 0, 400, 300));
    EXPECT_EQ(index, 1);
    // The space above a window across the bottom.
    index = 0;
    EXPECT_EQ(fw::newChildGeometry(&index, QSize(400, 500), QRect(0, 0, 600, 300), 30), QRect(0, 0, 400, 300));
}

} // namespace
