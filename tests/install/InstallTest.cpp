// "cmake --install" into a temporary prefix: the layout, the desktop files against their
// validators, the manual's links, and the installed program started from there.
#include "install/InstallFixture.h"

#include "fixtures/ProcessRun.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
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

}  // namespace

TEST(Install, DesktopEntryMetainfoIconsManualPageAndManualPassTheirChecks)
{
    InstalledTree tree;
    const ProcessResult desktop =
        RunProcess("/usr/bin/desktop-file-validate", {tree.Path("share/applications/marlux.desktop")});
    EXPECT_EQ(desktop.exitStatus, 0) << desktop.out << desktop.err;
    EXPECT_EQ(desktop.out + desktop.err, "");  // hints count too
    const ProcessResult metainfo = RunProcess(
        "/usr/bin/appstreamcli", {"validate", "--no-net", "--pedantic", tree.Path("share/metainfo/org.marlux.marlux.metainfo.xml")});
    EXPECT_EQ(metainfo.exitStatus, 0) << metainfo.out << metainfo.err;
    EXPECT_EQ(metainfo.out.find("pedantic"), std::string::npos) << metainfo.out;

    EXPECT_TRUE(fs::is_regular_file(tree.Path("share/icons/hicolor/scalable/apps/marlux.svg")));
    EXPECT_EQ(PngSize(tree.Path("share/icons/hicolor/48x48/apps/marlux.png")), std::make_pair(48, 48));
    EXPECT_EQ(PngSize(tree.Path("share/icons/hicolor/256x256/apps/marlux.png")), std::make_pair(256, 256));

    // Warnings of every kind, such as a misspelt macro or a line that does not fit.
    const ProcessResult man =
        RunProcess("/usr/bin/groff", {"-man", "-Tutf8", "-ww", "-z", tree.Path("share/man/man1/marlux-ftp.1")});
    EXPECT_EQ(man.exitStatus, 0);
    EXPECT_EQ(man.err, "");

    // Every link of the manual leads to a page and a place that exist, and every page is reached
    // from the contents.
    const fs::path manual = tree.Path("share/marlux/manual");
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

// Run as root, as CI runs, the program's folder is writable: only its mark keeps the files out.
TEST(Install, ProgramAndPlugInsShareAFolderThatBinLinksToAndTheProgramStartsFromThereKeepingTheUsersFilesOut)
{
    InstalledTree tree;
    const std::vector<std::string> programFolder{"ifgif.spi", "ifjpeg.spi", "ifpng.spi", "installed", "manual", "marlux"};
    EXPECT_EQ(tree.Entries("lib/marlux"), programFolder);
    ASSERT_TRUE(fs::is_symlink(tree.Path("bin/marlux")));
    EXPECT_EQ(fs::read_symlink(tree.Path("bin/marlux")), "../lib/marlux/marlux");  // the prefix may move
    EXPECT_TRUE(fs::is_regular_file(tree.Path("bin/marlux-ftp")));
    EXPECT_EQ(access(tree.Path("bin/marlux-ftp").c_str(), X_OK), 0);
    // The manual is shared data, reached from the program's folder.
    EXPECT_EQ(fs::canonical(tree.Path("lib/marlux/manual/index.html")),
              fs::canonical(tree.Path("share/marlux/manual/index.html")));

    // Version and help need no display: were a window started, Qt would find none and abort.
    const std::vector<std::string> noDisplay{"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"};
    const ProcessResult version = RunProcess(tree.Path("bin/marlux"), {"--version"}, noDisplay);
    EXPECT_EQ(version.exitStatus, 0) << version.err;
    EXPECT_EQ(version.out, "Marlux " MARLUX_VERSION "\n");
    const ProcessResult help = RunProcess(tree.Path("bin/marlux"), {"--help"}, noDisplay);
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
    const pid_t program = StartServerProcess({tree.Path("bin/marlux")});
    unsetenv("LD_DEBUG");

    const std::string settings = user.File("config/Marlux/Marlux.ini");
    ASSERT_TRUE(WaitUntil([&] { return TempDir::ReadFile(settings).find("[DEFAULT]") != std::string::npos; }, 20000))
        << "the program did not start up";

    const std::string loaded = TempDir::ReadFile(user.File("loaded." + std::to_string(program)));
    for (const char* plugin : {"ifgif.spi", "ifjpeg.spi", "ifpng.spi"})
        EXPECT_NE(loaded.find("file=" + fs::canonical(tree.Path("lib/marlux")).string() + "/" + plugin),
                  std::string::npos) << plugin;

    kill(program, SIGTERM);
    int status = 0;
    waitpid(program, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(fs::is_directory(user.File("config/Marlux/LST")));
    EXPECT_EQ(tree.Entries("lib/marlux"), programFolder);
}
