// The rules Tarn checks where they are entered: a broken one reaches the
// installed handler (in the tests: a failure), and the product's default
// reports it and goes on.
#include "framework/Assert.h"
#include "messages/MessageSink.h"
#include "support/BrokenRules.h"
#include "tools/JobManager.h"

#include <gtest/gtest.h>

#include <QObject>

#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> g_broken;

void record(const char*, const char*, int, const char* what)
{
    g_broken.emplace_back(what);
}

// Records the broken rules while it lives, then puts the tests' handler back.
struct Recording {
    Recording()
    {
        g_broken.clear();
        fw::setAssertHandler(&record);
    }
    ~Recording() { testsupport::failTestsOnBrokenRules(); }
};

class Sink : public MessageSink {
public:
    void AppendLine(const QString&, int) override {}
    void ClearMessageRows() override {}
    QObject* sinkObject() override { return &object; }
    QObject object;
};

TEST(BrokenRules, ThreadRulesAreCheckedWhereTheyAreEntered)
{
    Recording recording;
    MessageChannel channel;
    Sink sink;
    channel.setSink(&sink);
    JobManager jobs(channel);

    // Kept: the sink's own thread flushes, the owner uses its jobs.
    channel.flush();
    EXPECT_TRUE(jobs.waitForAll(1000));
    EXPECT_TRUE(g_broken.empty());

    // Broken from a worker.
    std::thread worker([&] {
        channel.flush();
        jobs.cancelAll();
    });
    worker.join();
    ASSERT_EQ(g_broken.size(), 2u);
    EXPECT_NE(g_broken[0].find("sink's thread"), std::string::npos) << g_broken[0];
    EXPECT_NE(g_broken[1].find("own thread"), std::string::npos) << g_broken[1];

    // Without a sink, any thread may flush (nothing is delivered).
    channel.setSink(nullptr);
    g_broken.clear();
    std::thread([&] { channel.flush(); }).join();
    EXPECT_TRUE(g_broken.empty());
}

#ifndef TARN_ASSERT_ABORT
// The product's default: the report goes to standard error and the program
// goes on past the broken rule.
TEST(BrokenRules, TheDefaultReportsAndGoesOn)
{
    fw::setAssertHandler(nullptr);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 5; ++i)
        TARN_ASSERT(i < 0, "a rule this test breaks");
    const std::string said = testing::internal::GetCapturedStderr();
    testsupport::failTestsOnBrokenRules();
    // Each place is reported a few times, then goes quiet.
    size_t reports = 0;
    for (size_t at = said.find("a rule this test breaks"); at != std::string::npos;
         at = said.find("a rule this test breaks", at + 1))
        ++reports;
    EXPECT_EQ(reports, 3u) << said;
    EXPECT_NE(said.find("tarn: broken rule at"), std::string::npos) << said;
}
#endif

} // namespace
