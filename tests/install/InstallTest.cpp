// "cmake --install" into a temporary prefix: the layout, the desktop files against their
// validators, the manual's links, and the installed program started from there.
#include "fixtures/ProcessRun.h"
#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::set<std::string> Matches(const std::string& text, const std::regex& pattern)
{
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
        found.insert((*it)[1]);
    return found;
}

// The width and height a PNG file's header gives, {0, 0} when it is no PNG.
std::pair<int, int> PngSize(const std::string& path)
{
    const std::string bytes = TempDir::ReadFile(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return {0, 0};
    // The header chunk's width and height, big-endian.
    uint32_t size[2];
    std::memcpy(size, bytes.data() + 16, sizeof size);
    return {int(ntohl(size[0])), int(ntohl(size[1]))};
}

// The names in a folder, sorted.
std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every link of the manual leads to a page and a place that exist, and every page is reached
// from the contents.
void ExpectManualLinksWhole(const fs::path& manual)
{
    std::map<std::string, std::string> pages;
    for (const fs::directory_entry& entry : fs::directory_iterator(manual))
        if (entry.path().extension() == ".html")
            pages[entry.path().filename().string()] = TempDir::ReadFile(entry.path().string());
    ASSERT_TRUE(pages.count("index.html")) << "no contents page";
    ASSERT_TRUE(pages.count("keywords.html")) << "no index page";

    const std::regex link("href=\"([^\"]*)\"");
    const std::regex anchor("id=\"([^\"]*)\"");
    std::set<std::string> reached{"index.html"};
    std::vector<std::string> toVisit{"index.html"};
    while (!toVisit.empty()) {
        const std::string page = toVisit.back();
        toVisit.pop_back();
        for (const std::string& target : Matches(pages[page], link)) {
            const std::string file = target.substr(0, target.find('#'));
            const std::string place = target.find('#') == std::string::npos ? "" : target.substr(target.find('#') + 1);
            const std::string linked = file.empty() ? page : file;
            if (linked == "style.css") {
                EXPECT_TRUE(fs::is_regular_file(manual / linked));
                continue;
            }
            ASSERT_TRUE(pages.count(linked)) << page << " links to the missing " << target;
            if (!place.empty()) {
                EXPECT_TRUE(Matches(pages[linked], anchor).count(place)) << page << " links to the missing " << target;
            }
            if (reached.insert(linked).second)
                toVisit.push_back(linked);
        }
    }
    for (const auto& [name, text] : pages)
        EXPECT_TRUE(reached.count(name)) << name << " is not reached from the contents";
}

}  // namespace

// Run as root, as CI runs, the program's folder is writable: only its mark keeps the files out.
TEST(Install, TheInstalledFilesPassTheirChecksAndTheProgramStartsFromThePrefixKeepingTheUsersFilesOut)
{
    TempDir dir;
    const std::string prefix = dir.File("prefix");
    const auto path = [&](const std::string& relative) { return prefix + "/" + relative; };
    const ProcessResult install = RunProcess(MARLUX_CMAKE_COMMAND, {"--install", MARLUX_BUILD_DIR, "--prefix", prefix});
    ASSERT_EQ(install.exitStatus, 0) << install.out << install.err;

    const ProcessResult desktop =
        RunProcess("/usr/bin/desktop-file-validate", {path("share/applications/marlux.desktop")});
    EXPECT_EQ(desktop.exitStatus, 0) << desktop.out << desktop.err;
    EXPECT_EQ(desktop.out + desktop.err, "");  // hints count too
    const ProcessResult metainfo =
        RunProcess("/usr/bin/appstreamcli",
                   {"validate", "--no-net", "--pedantic", path("share/metainfo/org.marlux.marlux.metainfo.xml")});
    EXPECT_EQ(metainfo.exitStatus, 0) << metainfo.out << metainfo.err;
    EXPECT_EQ(metainfo.out.find("pedantic"), std::string::npos) << metainfo.out;

    EXPECT_TRUE(fs::is_regular_file(path("share/icons/hicolor/scalable/apps/marlux.svg")));
    EXPECT_EQ(PngSize(path("share/icons/hicolor/48x48/apps/marlux.png")), std::make_pair(48, 48));
    EXPECT_EQ(PngSize(path("share/icons/hicolor/256x256/apps/marlux.png")), std::make_pair(256, 256));

    // Warnings of every kind, such as a misspelt macro or a line that does not fit.
    const ProcessResult man =
        RunProcess("/usr/bin/groff", {"-man", "-Tutf8", "-ww", "-z", path("share/man/man1/marlux-ftp.1")});
    EXPECT_EQ(man.exitStatus, 0);
    EXPECT_EQ(man.err, "");
    ExpectManualLinksWhole(path("share/marlux/manual"));

    const std::vector<std::string> programFolder{"ifgif.spi", "ifjpeg.spi", "ifpng.spi", "installed", "manual",
                                                 "marlux"};
    EXPECT_EQ(Entries(path("lib/marlux")), programFolder);
    ASSERT_TRUE(fs::is_symlink(path("bin/marlux")));
    EXPECT_EQ(fs::read_symlink(path("bin/marlux")), "../lib/marlux/marlux");  // the prefix may move
    EXPECT_TRUE(fs::is_regular_file(path("bin/marlux-ftp")));
    EXPECT_EQ(access(path("bin/marlux-ftp").c_str(), X_OK), 0);
    // The manual is shared data, reached from the program's folder.
    EXPECT_EQ(fs::canonical(path("lib/marlux/manual/index.html")),
              fs::canonical(path("share/marlux/manual/index.html")));

    // Version and help need no display: were a window started, Qt would find none and abort.
    const std::vector<std::string> noDisplay{"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"};
    const ProcessResult version = RunProcess(path("bin/marlux"), {"--version"}, noDisplay);
    EXPECT_EQ(version.exitStatus, 0) << version.err;
    EXPECT_EQ(version.out, "Marlux " MARLUX_VERSION "\n");
    const ProcessResult help = RunProcess(path("bin/marlux"), {"--help"}, noDisplay);
    EXPECT_EQ(help.exitStatus, 0) << help.err;
    EXPECT_EQ(help.out.rfind("使い方: marlux", 0), 0u) << help.out;

    TempDir user;
    unsetenv("MARLUX_HOME");
    setenv("XDG_CONFIG_HOME", user.File("config").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);  // not the desktop's keyring
    // The dynamic loader reports every library the program loads, the plug-ins among them.
    setenv("LD_DEBUG", "files", 1);
    setenv("LD_DEBUG_OUTPUT", user.File("loaded").c_str(), 1);
    const pid_t program = StartServerProcess({path("bin/marlux")});
    unsetenv("LD_DEBUG");

    const std::string settings = user.File("config/Marlux/Marlux.ini");
    ASSERT_TRUE(WaitUntil([&] { return TempDir::ReadFile(settings).find("[DEFAULT]") != std::string::npos; }, 20000))
        << "the program did not start up";

    const std::string loaded = TempDir::ReadFile(user.File("loaded." + std::to_string(program)));
    for (const char* plugin : {"ifgif.spi", "ifjpeg.spi", "ifpng.spi"})
        EXPECT_NE(loaded.find("file=" + fs::canonical(path("lib/marlux")).string() + "/" + plugin), std::string::npos)
            << plugin;

    kill(program, SIGTERM);
    int status = 0;
    waitpid(program, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(fs::is_directory(user.File("config/Marlux/LST")));
    EXPECT_EQ(Entries(path("lib/marlux")), programFolder);
}
