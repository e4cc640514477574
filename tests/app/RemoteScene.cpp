#include "RemoteScene.h"

#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"

#include <QTreeView>

#include <filesystem>

TMainForm& RemoteSceneTest::OpenConnected(const std::string& settings)
{
    TMainForm& form = OpenConnectedTo(server_.Port(), "user", "secret", settings);
    Run("aLocalRefresh");
    return form;
}

TMainForm& RemoteSceneTest::OpenConnectedTo(int port, const char* user, const char* password, const std::string& settings)
{
    TMainForm& form = OpenQuiet(settings);
    LogInOnLoopback(form.Service(), port, user, password);
    Run("aRemoteRefresh");
    return form;
}

void RemoteSceneTest::Enter(const QString& caption)
{
    Select(RemoteList(), {caption});
    emit RemoteList().Report().doubleClicked(
        RemoteList().Model().index(int(Captions(RemoteList().Model()).indexOf(caption)), 0));
    Settle(*form_);
}

void RemoteSceneTest::Write(const std::string& path, const std::string& content)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    TempDir::WriteFile(path, content);
}
