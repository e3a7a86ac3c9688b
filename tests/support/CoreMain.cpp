// Entry point of the core tests: QtCore only.
#include "support/BrokenRules.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::failTestsOnBrokenRules();
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
