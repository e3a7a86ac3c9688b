#include "tools/ToolRunner.h"

#include "framework/Assert.h"
#include "framework/BusyScope.h"
#include "messages/MessageSink.h"

#include <QEventLoop>
#include <QMetaObject>

#include <thread>

ChildResult RunWithInterfaceWait(MessageChannel& messages, const ToolRun& run)
{
    TARN_ASSERT(fw::onMainThread(), "a tool run waits on the interface thread only");
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    ChildResult result;
    QEventLoop loop;
    std::thread helper([&] {
        result = run(cancel);
        done.store(true);
        // Queued: the loop may not have started yet, and quits once it has.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    {
        // Repaints go on; clicks and keys wait until the tool has ended,
        // and the main window stays open meanwhile.
        fw::BusyScope busy;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (!done.load())
            cancel.store(true);
        helper.join();
    }
    messages.flush();
    return result;
}
