#pragma once
#include "fixtures/FileTimes.h"
#include "fixtures/FileTree.h"
#include "ftp/EngineSessions.h"
#include "ftp/IdFTP.h"
#include "service/FolderWalk.h"
#include "service/FtpRemoteEngine.h"
#include "service/LocalPaths.h"
#include "service/RemoteNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Runs the walk's engine steps at once on the test's engine, and moves files with it plainly.
class TDirectWalkHost : public TFolderWalk::THost {
public:
    explicit TDirectWalkHost(TIdFTP& engine) : engine_(engine), jobs_(engine) {}

    void RunOnEngine(const std::function<void(TRemoteEngine&)>& step) override { step(jobs_); }
    void LogLine(const QString& line) override { logLines.push_back(line); }
    void LocalFolderCreated(const QString& name) override { createdFolders.push_back(name); }
    void ShowProgress(const QString&, const QString&) override {}
    bool StopRequested() override { return stopAfterFiles >= 0 && int(files.size()) >= stopAfterFiles; }
    void ShowStopped() override { ++stoppedNotices; }
    bool UploadFile(const TFileEntry& file, const TWalkFolders& folders) override
    {
        files.push_back(file.name);
        engine_.Put(NativePath(LocalEntryPath(folders.local, file.name)), ServerName(engine_.NameCodec, file.name));
        return true;
    }
    bool DownloadFile(const TFileEntry& file, const TWalkFolders& folders) override
    {
        files.push_back(file.name);
        engine_.Get(file.nameBytes.toStdString(), NativePath(LocalEntryPath(folders.local, file.name)), true);
        return true;
    }
    void FileDeleted(const QString& name) override { deleted.push_back(name); }
    void CheckUploads(const std::vector<TFileEntry>& sent, const TWalkFolders&) override
    {
        checkedTogether.push_back(sent.size());
        for (const EIdVerificationFailed& failure : jobs_.SettleUploadChecks())
            damaged.push_back(failure.FileName());
    }

    std::vector<QString> logLines;
    std::vector<QString> createdFolders;
    std::vector<QString> files;
    std::vector<QString> deleted;
    // How many files each batched check took, and the server names of those found damaged.
    std::vector<std::size_t> checkedTogether;
    std::vector<std::string> damaged;
    int stoppedNotices = 0;
    // Asks to stop once this many files went; never when negative.
    int stopAfterFiles = -1;

private:
    TIdFTP& engine_;
    TFtpRemoteEngine jobs_;
};

// A session logged in to a real server, and the host over its engine.
class WalkScene : public ::testing::Test {
protected:
    std::string Local(const std::string& name) const { return session_.local.File(name); }
    std::string Remote(const std::string& name) const { return session_.server.File(name); }
    QString LocalRoot() const { return QString::fromStdString(session_.local.Path()); }

    ServerSession session_;
    TDirectWalkHost host_{session_.ftp};
};
