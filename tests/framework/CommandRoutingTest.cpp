#include "framework/CommandTarget.h"

#include <gtest/gtest.h>

namespace {
class Target : public fw::CommandTarget {
public:
    using fw::CommandTarget::onCommand;
    using fw::CommandTarget::onUpdateEnabled;
};
} // namespace

TEST(CommandTarget, RunsOnlyRegisteredHandlers)
{
    Target target;
    int runs = 0;
    target.onCommand(100, [&] { ++runs; });
    EXPECT_TRUE(target.runCommand(100));
    EXPECT_FALSE(target.runCommand(101));
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(target.handlesCommand(101));
}
