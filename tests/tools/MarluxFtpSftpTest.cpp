#include "fixtures/SshServer.h"
#include "tools/ToolRun.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>

namespace {

// The tool over SFTP, trusting the server's key, logged in as the test user with `login`.
ProcessResult OverSftp(const SshServer& server, const Strings& commands, Strings login)
{
    login.insert(login.begin(), {"--sftp", "-u", SshServer::TestUser});
    return MarluxFtpAt(server.Port(), login, commands);
}

}  // namespace

TEST(MarluxFtpSftp, EveryCommandRunsOverSftpHostKeysMustBeTrustedAndKeysLogIn)
{
    SshServer server;
    TempDir local;
    const Strings login{"-p", SshServer::TestPassword, "--trust", server.HostKeyFingerprint()};
    server.WriteFile("a.txt", "12345");
    TempDir::WriteFile(local.File("up"), "uploaded");
    TempDir::WriteFile(local.File("partial"), "123");
    ProcessResult r = OverSftp(server,
                               {"mkdir", "d", ";", "cd", "d", ";", "pwd", ";", "cdup", ";", "size", "a.txt", ";",
                                "rename", "a.txt", "b.txt", ";", "site", "chmod", "600", "b.txt", ";", "put",
                                local.File("up"), "c.txt", ";", "put", local.File("up"), "c.txt", "--append", ";",
                                "get", "b.txt", local.File("partial"), "--resume", ";", "get", "c.txt",
                                local.File("c"), ";", "ls", "*.txt", ";", "nlst", ";", "rawls", "b*", ";", "system",
                                ";", "rm", "c.txt", ";", "rmdir", "d"}, login);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const std::string unverified = "not verified: the server offers no digest";  // put, put --append, get --resume, get
    EXPECT_EQ(r.out.substr(0, r.out.find("\nf 5 ") + 1),
              server.Root() + "/d\n5\n" + unverified + "\n" + unverified + "\n" + unverified + "\n" + unverified + "\n");
    // ls: UTC times
    EXPECT_TRUE(std::regex_search(r.out, std::regex("\nf 5 [^\n]*Z b\\.txt\nf 16 [^\n]*Z c\\.txt\n"))) << r.out;
    EXPECT_TRUE(Contains(r.out, "\nb.txt\n") && Contains(r.out, "\nc.txt\n") && Contains(r.out, "\nd\n"));  // nlst
    EXPECT_TRUE(Contains(r.out, "-rw-------")) << r.out;  // rawls: the server's own line
    EXPECT_TRUE(Contains(r.out, "SSH-2.0-OpenSSH")) << r.out;

    struct stat info {};
    ASSERT_EQ(stat(server.File("b.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(TempDir::ReadFile(local.File("partial")), "12345");
    EXPECT_EQ(TempDir::ReadFile(local.File("c")), "uploadeduploaded");
    EXPECT_FALSE(std::filesystem::exists(server.File("c.txt")));
    EXPECT_FALSE(std::filesystem::exists(server.File("d")));

    // Other SITE commands are refused, naming SFTP; the run ends there.
    r = OverSftp(server, {"site", "help", ";", "mkdir", "never"}, login);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_TRUE(Contains(r.err, "SFTP")) << r.err;
    EXPECT_FALSE(std::filesystem::exists(server.File("never")));

    // Host keys must be trusted; keys log in.
    const std::string key = server.AddClientKey("id", "phrase");
    r = OverSftp(server, {"pwd"}, {"-p", SshServer::TestPassword});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_TRUE(Contains(r.err, "--trust " + server.HostKeyFingerprint())) << r.err;

    r = OverSftp(server, {"pwd"}, {"--identity", key, "-p", "phrase", "--trust", server.HostKeyFingerprint(), "-v"});
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, server.Root() + "\n");
    EXPECT_TRUE(Contains(r.err, "Authenticated by public key"));
    EXPECT_FALSE(Contains(r.err, "phrase"));

    for (const Strings& wrong : {Strings{"--sftp", "--tls", "explicit", "h", "pwd"}, Strings{"--identity", "k", "h", "pwd"},
                                 Strings{"--sftp", "--trust", "ab:cd", "h", "pwd"}}) {
        r = MarluxFtp(wrong);
        EXPECT_EQ(r.exitStatus, 2) << wrong[1];
    }
}
