#include "framework/CommandRouter.h"
#include "framework/FrameworkFixture.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
class Target : public fw::CommandTarget {
public:
    using fw::CommandTarget::onCommand;
    using fw::CommandTarget::onUpdateChecked;
    using fw::CommandTarget::onUpdateEnabled;
};

QStringList actionTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (action->isVisible())
            texts << (action->isSeparator() ? "-" : action->text());
    }
    return texts;
}
} // namespace

TEST(CommandRouter, FirstTargetOfTheChainWinsAndUnhandledIsDisabled)
{
    Target view, document, frame, main, app;
    QStringList log;
    view.onCommand(1, [&] { log << "view1"; });
    document.onCommand(1, [&] { log << "doc1"; });
    document.onCommand(2, [&] { log << "doc2"; });
    frame.onCommand(3, [&] { log << "frame3"; });
    main.onCommand(4, [&] { log << "main4"; });
    app.onCommand(4, [&] { log << "app4"; });
    app.onCommand(5, [&] { log << "app5"; });
    // A disabled handler stops the search: the command is off, not passed on.
    main.onCommand(6, [&] { log << "main6"; });
    main.onUpdateEnabled(6, [] { return false; });
    app.onCommand(6, [&] { log << "app6"; });
    // An update rule alone does not make a handler.
    frame.onUpdateEnabled(5, [] { return false; });
    app.onUpdateChecked(5, [] { return true; });

    QList<fw::CommandTarget*> chain{&view, &document, &frame, &main, &app};
    fw::CommandRouter router(nullptr, [&] { return chain; });
    for (int id : {1, 2, 3, 4, 5, 6, 7})
        router.execute(id);
    EXPECT_EQ(log, QStringList({"view1", "doc2", "frame3", "main4", "app5"}));
    EXPECT_TRUE(router.isEnabled(5));
    EXPECT_FALSE(router.isEnabled(6));
    EXPECT_FALSE(router.isEnabled(7));
    EXPECT_EQ(app.commandChecked(5), std::optional<bool>(true));
    EXPECT_EQ(app.commandChecked(4), std::nullopt);

    QObject owner;
    QAction* action = router.createAction(7, "Seven", &owner);
    EXPECT_FALSE(action->isEnabled());
    // Without a view in the chain, the document's handler of 1 takes over.
    chain.removeFirst();
    log.clear();
    router.execute(1);
    EXPECT_EQ(log, QStringList({"doc1"}));
    app.onCommand(7, [&] { log << "app7"; });
    router.updateActions();
    EXPECT_TRUE(action->isEnabled());
    action->trigger();
    EXPECT_EQ(log.last(), "app7");
}

TEST(CommandRouter, UpdateSurvivesActionsDeletedWhileItRuns)
{
    Target app;
    bool enabled = false;
    for (int id : {1, 2}) {
        app.onCommand(id, [] {});
        app.onUpdateEnabled(id, [&] { return enabled; });
    }
    fw::CommandRouter router(nullptr, [&] { return QList<fw::CommandTarget*>{&app}; });
    QObject owner;
    QList<QPointer<QAction>> actions;
    for (int i = 0; i < 6; ++i)
        actions << router.createAction(1 + i % 2, "x", &owner);
    // Enabling the first action deletes every other one, of its own id too.
    QObject::connect(actions.at(0), &QAction::changed, [&] {
        for (qsizetype i = 1; i < actions.size(); ++i)
            delete actions.at(i).data();
    });
    enabled = true;
    router.updateActions();
    EXPECT_TRUE(actions.at(0)->isEnabled());
    for (qsizetype i = 1; i < actions.size(); ++i)
        EXPECT_TRUE(actions.at(i).isNull()) << i;
    // The router goes on with the action that is left.
    QAction* late = router.createAction(2, "y", &owner);
    enabled = false;
    router.updateActions();
    EXPECT_FALSE(actions.at(0)->isEnabled());
    EXPECT_FALSE(late->isEnabled());
}

TEST(MdiMainFrame, MenuBarAndTitleFollowTheActiveDocument)
{
    FrameworkFixture f;
    EXPECT_EQ(f.main->currentMenuResource(), 100);
    f.main->setBaseTitle("Tarn");
    fw::Document* text = f.textTemplate()->openDocumentFile(QString());
    f.otherTemplate()->openDocumentFile(QString());
    EXPECT_EQ(f.main->currentMenuResource(), 2);
    EXPECT_EQ(f.main->menuBar()->actions().at(0)->text(), "&Other");
    EXPECT_EQ(f.main->windowTitle(), "Tarn - Other1");

    text->firstView()->parentFrame()->activate();
    EXPECT_EQ(f.main->currentMenuResource(), 1);
    EXPECT_EQ(f.main->menuBar()->actions().at(0)->text(), "&File");

    // The Window menu lists the open windows; untitled ones are numbered by type.
    f.textTemplate()->openDocumentFile(QString());
    QMenu* window = f.main->menuBar(2).at(1);
    emit window->aboutToShow();
    EXPECT_EQ(actionTexts(window).mid(1), QStringList({"&1 Text1", "&2 Other1", "&3 Text2"}));
    EXPECT_EQ(static_cast<TextView*>(text->firstView())->initialUpdates, 1);
}

TEST(MdiMainFrame, RecentFilesReplaceThePlaceholder)
{
    QTemporaryDir dir;
    FrameworkFixture f;
    QMenu* file = f.main->menuBar(1).at(0);
    emit file->aboutToShow();
    EXPECT_EQ(actionTexts(file), QStringList({"&Save", "Recent File"}));
    EXPECT_FALSE(file->actions().at(1)->isEnabled());

    const QString path = dir.filePath("r.txt");
    ASSERT_TRUE(testsupport::writeFile(path, "x"));
    f.app.openDocumentFile(path);
    emit file->aboutToShow();
    const QStringList texts = actionTexts(file);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts.at(1).startsWith("&1 ") && texts.at(1).endsWith("r.txt"))
        << texts.at(1).toStdString();
}
