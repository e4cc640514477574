#include "ToolCommands.h"

#include "ftp/IdFTP.h"

#include <cstdio>
#include <functional>
#include <map>

namespace {

using Arguments = std::vector<std::string>;

struct CommandEntry {
    size_t minArguments;
    size_t maxArguments;
    // An optional switch after the arguments ("--resume"), empty when the command has none.
    std::string flag;
    std::function<void(TIdFTP&, const Arguments&, bool flagSet, std::ostream&)> run;
};

constexpr size_t Unlimited = static_cast<size_t>(-1);

std::string Joined(const Arguments& arguments) {
    std::string text;
    for (const std::string& argument : arguments) text += (text.empty() ? "" : " ") + argument;
    return text;
}

std::string Mask(const Arguments& arguments) { return arguments.empty() ? std::string() : arguments[0]; }

std::string EntryLine(const TIdFTPListItem& item) {
    const char kind = item.Kind == ikDirectory ? 'd' : item.Kind == ikSymLink ? 'l' : 'f';
    const TDateParts t = DecodeDateTime(item.Modified);
    char text[64];
    std::snprintf(text, sizeof text, " %04d-%02d-%02d %02d:%02d:%02d ", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    std::string line = std::string(1, kind) + " " + std::to_string(item.Size) + text + item.Name;
    if (item.Kind == ikSymLink && !item.LinkTarget.empty()) line += " -> " + item.LinkTarget;
    return line;
}

void PrintLines(const std::vector<std::string>& lines, std::ostream& out) {
    for (const std::string& line : lines) out << line << '\n';
}


const std::map<std::string, CommandEntry>& Commands() {
    static const std::map<std::string, CommandEntry> commands{
        {"pwd", {0, 0, {}, [](TIdFTP& ftp, const Arguments&, bool, std::ostream& out) { out << ftp.CurrentDirectory() << '\n'; }}},
        {"cd", {1, 1, {}, [](TIdFTP& ftp, const Arguments& a, bool, std::ostream&) { ftp.ChangeDirectory(a[0]); }}},
        {"cdup", {0, 0, {}, [](TIdFTP& ftp, const Arguments&, bool, std::ostream&) { ftp.ChangeToParent(); }}},
        {"mkdir", {1, 1, {}, [](TIdFTP& ftp, const Arguments& a, bool, std::ostream&) { ftp.MakeDirectory(a[0]); }}},
        {"rmdir", {1, 1, {}, [](TIdFTP& ftp, const Arguments& a, bool, std::ostream&) { ftp.RemoveDirectory(a[0]); }}},
        {"rm", {1, 1, {}, [](TIdFTP& ftp, const Arguments& a, bool, std::ostream&) { ftp.DeleteFile(a[0]); }}},
        {"rename", {2, 2, {}, [](TIdFTP& ftp, const Arguments& a, bool, std::ostream&) { ftp.RenameFile(a[0], a[1]); }}},
        {"site", {1, Unlimited, {}, [](TIdFTP& ftp, const Arguments& a, bool, std::ostream&) { ftp.SiteCommand(Joined(a)); }}},
        {"size", {1, 1, {}, [](TIdFTP& ftp, const Arguments& a, bool, std::ostream& out) { out << ftp.FileSize(a[0]) << '\n'; }}},
        {"system", {0, 0, {}, [](TIdFTP& ftp, const Arguments&, bool, std::ostream& out) { out << ftp.SystemName << '\n'; }}},
        {"ls", {0, 1, {}, [](TIdFTP& ftp, const Arguments& a, bool, std::ostream& out) {
             ftp.List(nullptr, Mask(a), true);
             for (const TIdFTPListItem& item : ftp.ParsedListing()) out << EntryLine(item) << '\n';
         }}},
        {"nlst", {0, 1, {}, [](TIdFTP& ftp, const Arguments& a, bool, std::ostream& out) {
             ftp.List(nullptr, Mask(a), false);
             PrintLines(ftp.ListLines, out);
         }}},
        {"rawls", {0, 1, {}, [](TIdFTP& ftp, const Arguments& a, bool, std::ostream& out) {
             ftp.List(nullptr, Mask(a), true);
             PrintLines(ftp.ListLines, out);
         }}},
        {"get", {2, 2, "--resume", [](TIdFTP& ftp, const Arguments& a, bool resume, std::ostream&) {
             ftp.Get(a[0], a[1], !resume, resume);
         }}},
        {"put", {2, 2, "--append", [](TIdFTP& ftp, const Arguments& a, bool append, std::ostream&) {
             ftp.Put(a[0], a[1], append);
         }}},
    };
    return commands;
}

// The command's arguments without its switch; tells whether the switch was given.
Arguments Positional(const ToolCommand& command, const CommandEntry& entry, bool& flagSet) {
    Arguments positional;
    flagSet = false;
    for (const std::string& argument : command.arguments) {
        if (!entry.flag.empty() && argument == entry.flag)
            flagSet = true;
        else
            positional.push_back(argument);
    }
    return positional;
}

}  // namespace

void CheckToolCommands(const std::vector<ToolCommand>& commands) {
    for (const ToolCommand& command : commands) {
        auto found = Commands().find(command.name);
        if (found == Commands().end()) throw UsageError("unknown command " + command.name);
        bool flagSet = false;
        size_t count = Positional(command, found->second, flagSet).size();
        if (count < found->second.minArguments || count > found->second.maxArguments)
            throw UsageError("wrong number of arguments for " + command.name);
    }
}

void RunToolCommand(TIdFTP& ftp, const ToolCommand& command, std::ostream& out) {
    const CommandEntry& entry = Commands().at(command.name);
    bool flagSet = false;
    Arguments positional = Positional(command, entry, flagSet);
    entry.run(ftp, positional, flagSet, out);
}
