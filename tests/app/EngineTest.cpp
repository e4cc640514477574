#include "MainFormFixture.h"

#include "fixtures/ScriptedPeer.h"
#include "panes/FileViewStack.h"

#include <QTimer>
#include <QTreeView>

TEST_F(MainFormTest, WhileTheEngineWaitsOnlyCommandsThatLeaveItAloneCanRunFromActionsOrMenuItems)
{
    ScriptedPeer peer;
    peer.ScriptLogin();
    peer.Reply("").Pause(400).Send("257 \"/slow\"\r\n").Reply("221 bye\r\n");
    peer.Start();
    TempDir::WriteFile(work_.File("a.txt"), "x");
    TMainForm& form = Open();
    LogInOnLoopback(form.Service(), peer.Port(), "user", "secret");
    form.Options().iOnLocalDblClick = 1;
    QAbstractItemView& view = form.Controls().LocalFileListView->Report();
    view.selectAll();
    form.UpdateActionStates();
    ASSERT_TRUE(form.Action("aUpload")->isEnabled());

    int engineCommands = 0;
    for (const char* name : {"aRemoteRefresh", "aUpload"})
        form.Actions().SetHandler(name, [&] { ++engineCommands; });
    QAction& menuUpload = *form.findChild<QAction*>("Upload0");
    QStringList enabledWhileWaiting;
    QTimer::singleShot(100, [&] {
        for (const QAction* action : form.Actions().List())
            if (action->isEnabled())
                enabledWhileWaiting << action->objectName();
        if (menuUpload.isEnabled())
            enabledWhileWaiting << menuUpload.objectName();
        form.Action("aRemoteRefresh")->trigger();
        emit view.doubleClicked(view.model()->index(0, 0));  // runs aUpload by name
    });
    EXPECT_EQ(RunJob(form.Service(), [](TRemoteEngine& engine) { return engine.CurrentDirectory(); }), "/slow");
    EXPECT_EQ(engineCommands, 0);
    for (const char* name : {"aAbort", "aConnect", "aLocalRefresh", "aLocalFileDelete", "aOption", "aExit"})
        EXPECT_TRUE(enabledWhileWaiting.contains(name)) << name;
    for (const char* name : {"aRemoteRefresh", "aUpload", "Upload0", "aUploadAll", "aDownloadAll", "aChmod", "aRemoteMkDir"})
        EXPECT_FALSE(enabledWhileWaiting.contains(name)) << name;

    Pump(50);  // the idle pass after the command
    EXPECT_TRUE(form.Action("aRemoteRefresh")->isEnabled());
    form.Action("aRemoteRefresh")->trigger();
    // The menu item and the tool button run their action.
    menuUpload.trigger();
    form.findChild<QAction*>("Upload")->trigger();
    EXPECT_EQ(engineCommands, 3);
    CloseWindow();  // QUIT while the peer still listens
}
