#pragma once
#include <string>

// The program directory: $MARLUX_HOME; else the directory of the executable when it is
// writable and not an installed copy (no file ProgramFile::InstalledMark in it); else
// $XDG_CONFIG_HOME/Marlux (default ~/.config/Marlux), created when missing. No trailing "/".
std::string ResolveAppDir(const std::string& executablePath);

// AppDir + "/LST", created when missing; a failure to create it is not reported.
std::string PrepareLstDir(const std::string& appDir);

// appDir + "/" + name, the one way every program file path is built.
std::string ProgramFilePath(const std::string& dir, const std::string& name);

// Path of the running executable (from /proc/self/exe).
std::string CurrentExecutablePath();

// The fixed file names of the program directory.
namespace ProgramFile {
inline constexpr const char* Settings = "Marlux.ini";
inline constexpr const char* KeyList = "KeyList.ini";
inline constexpr const char* TextExt = "TextExt.txt";
inline constexpr const char* SkipExt = "SkipExt.txt";
inline constexpr const char* NoDeleteExt = "NoDeleteExt.txt";
inline constexpr const char* LocalMaskList = "LocalMaskList.txt";
inline constexpr const char* RemoteMaskList = "RemoteMaskList.txt";
inline constexpr const char* SessionLog = "SessionLog.txt";
inline constexpr const char* FileOperationLog = "FileOperationLog.txt";
inline constexpr const char* LocalHistory = "Local.lst";
// Put next to the program by the install: that folder is never the program directory.
inline constexpr const char* InstalledMark = "installed";
inline constexpr const char* DetailListing = "tmp.txt";
inline constexpr const char* LstFolder = "LST";
}
