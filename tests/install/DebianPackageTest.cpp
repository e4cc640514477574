// The Debian package that "cpack -G DEB" makes from the build tree; installed and removed by
// dpkg only where the test runs as root, as CI does.
#include "fixtures/ProcessRun.h"
#include "fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

bool PackageInstalled()
{
    const ProcessResult query = RunProcess("/usr/bin/dpkg-query", {"-W", "-f=${Status}", "marlux"});
    return query.out.find("install ok installed") != std::string::npos;
}

}  // namespace

TEST(DebianPackage, DependsOnTheLibrariesItLinksHoldsTheInstalledLayoutAndDpkgInstallsAndRemovesItCleanly)
{
    TempDir out;
    const ProcessResult cpack = RunProcess(MARLUX_CPACK_COMMAND, {"-G", "DEB", "-B", out.Path(), "--config",
                                                                  MARLUX_BUILD_DIR "/CPackConfig.cmake"});
    ASSERT_EQ(cpack.exitStatus, 0) << cpack.out << cpack.err;
    const std::string package = out.File("marlux_" MARLUX_VERSION "_amd64.deb");
    ASSERT_TRUE(TempDir::Exists(package)) << cpack.out;

    const std::string depends = RunProcess("/usr/bin/dpkg-deb", {"-f", package, "Depends"}).out;
    for (const char* library : {"libqt6widgets6", "libssl3", "libpng16-16", "libjpeg62-turbo", "libgif7"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing from: " << depends;

    const std::string contents = RunProcess("/usr/bin/dpkg-deb", {"-c", package}).out;
    for (const char* path : {"./usr/lib/marlux/marlux", "./usr/lib/marlux/ifpng.spi", "./usr/lib/marlux/installed",
                             "./usr/bin/marlux -> ../lib/marlux/marlux", "./usr/bin/marlux-ftp",
                             "./usr/share/applications/marlux.desktop", "./usr/share/marlux/manual/index.html",
                             "./usr/share/man/man1/marlux-ftp.1"})
        EXPECT_NE(contents.find(path), std::string::npos) << path;

    if (geteuid() != 0)
        GTEST_SKIP() << "installing a package needs root";
    if (PackageInstalled())
        GTEST_SKIP() << "a marlux package is installed on this machine already; it is left alone";
    const ProcessResult install = RunProcess("/usr/bin/dpkg", {"-i", package});
    ASSERT_EQ(install.exitStatus, 0) << install.out << install.err;
    const ProcessResult version = RunProcess("/usr/bin/marlux", {"--version"});
    EXPECT_EQ(version.out, "Marlux " MARLUX_VERSION "\n");
    EXPECT_TRUE(TempDir::Exists("/usr/share/applications/marlux.desktop"));

    const ProcessResult remove = RunProcess("/usr/bin/dpkg", {"--purge", "marlux"});
    EXPECT_EQ(remove.exitStatus, 0) << remove.out << remove.err;
    EXPECT_FALSE(PackageInstalled());
    for (const char* path : {"/usr/lib/marlux", "/usr/bin/marlux", "/usr/bin/marlux-ftp", "/usr/share/marlux",
                             "/usr/share/applications/marlux.desktop"})
        EXPECT_FALSE(TempDir::Exists(path)) << path;
}
