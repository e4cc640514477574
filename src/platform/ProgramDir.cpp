#include "ProgramDir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string EnvOrEmpty(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::string ResolveAppDir(const std::string& executablePath)
{
    std::error_code ec;
    if (std::string home = EnvOrEmpty("MARLUX_HOME"); !home.empty()) {
        fs::create_directories(home, ec);
        return WithoutTrailingSlash(home);
    }
    // An installed copy is shared by every user of the machine, whoever can write its folder
    // (root can write /usr/lib/marlux): its mark sends the files to the user's own folder.
    const std::string exeDir = fs::path(executablePath).parent_path().string();
    if (!exeDir.empty() && access(exeDir.c_str(), W_OK) == 0 &&
        !fs::exists(ProgramFilePath(exeDir, ProgramFile::InstalledMark), ec))
        return WithoutTrailingSlash(exeDir);

    std::string config = EnvOrEmpty("XDG_CONFIG_HOME");
    if (config.empty())
        config = EnvOrEmpty("HOME") + "/.config";
    const std::string dir = WithoutTrailingSlash(config) + "/Marlux";
    fs::create_directories(dir, ec);
    return dir;
}

std::string PrepareLstDir(const std::string& appDir)
{
    const std::string dir = ProgramFilePath(appDir, ProgramFile::LstFolder);
    std::error_code ec;
    fs::create_directories(dir, ec);  // not reported, as the program works on without it
    return dir;
}

std::string ProgramFilePath(const std::string& dir, const std::string& name)
{
    return dir + "/" + name;
}

std::string CurrentExecutablePath()
{
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}
