#pragma once
#include "MainFormFixture.h"

#include "fixtures/FtpServer.h"
#include "log/Editor.h"

#include <string>

// The window logged in to a loopback server, and what the tests of the remote pane, the
// transfers and the remote file commands look at afterwards.
class RemoteSceneTest : public MainFormTest {
protected:
    explicit RemoteSceneTest(const FtpServer::Options& serverOptions = {}) : server_(serverOptions) {}
    // Opens the window, logs in to server_ and lists both panes. The connection dialog never
    // comes up by itself during a long test; `settings` are more [CURRENT] lines.
    TMainForm& OpenConnected(const std::string& settings = {});
    // The same for another server, such as vsftpd; only the remote pane is listed.
    TMainForm& OpenConnectedTo(int port, const char* user, const char* password, const std::string& settings = {});
    // Selects the remote row and double-clicks it, as the user opens a folder.
    void Enter(const QString& caption);
    // Paths in the local pane's directory and on the server.
    std::string Local(const std::string& name) const { return work_.File(name); }
    std::string Remote(const std::string& name) const { return server_.File(name); }
    // Writes the file, creating the folders on its way.
    static void Write(const std::string& path, const std::string& content);
    static std::string Read(const std::string& path) { return TempDir::ReadFile(path); }
    static bool Exists(const std::string& path) { return TempDir::Exists(path); }
    Strings RemoteContents(std::initializer_list<std::string> names) const { return Contents(server_.Root(), names); }

    FtpServer server_;
};
