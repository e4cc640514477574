#include "ToolCommands.h"

#include "ftp/IdFTP.h"

#include <functional>
#include <map>

namespace {

using Arguments = std::vector<std::string>;

struct CommandSpec {
    size_t minArguments;
    size_t maxArguments;
    std::function<void(TIdFTP&, const Arguments&, std::ostream&)> run;
};

constexpr size_t Unlimited = static_cast<size_t>(-1);

std::string Joined(const Arguments& arguments) {
    std::string text;
    for (const std::string& argument : arguments) text += (text.empty() ? "" : " ") + argument;
    return text;
}

const std::map<std::string, CommandSpec>& Commands() {
    static const std::map<std::string, CommandSpec> commands{
        {"pwd", {0, 0, [](TIdFTP& ftp, const Arguments&, std::ostream& out) { out << ftp.CurrentDirectory() << '\n'; }}},
        {"cd", {1, 1, [](TIdFTP& ftp, const Arguments& a, std::ostream&) { ftp.ChangeDirectory(a[0]); }}},
        {"cdup", {0, 0, [](TIdFTP& ftp, const Arguments&, std::ostream&) { ftp.ChangeToParent(); }}},
        {"mkdir", {1, 1, [](TIdFTP& ftp, const Arguments& a, std::ostream&) { ftp.MakeDirectory(a[0]); }}},
        {"rmdir", {1, 1, [](TIdFTP& ftp, const Arguments& a, std::ostream&) { ftp.RemoveDirectory(a[0]); }}},
        {"rm", {1, 1, [](TIdFTP& ftp, const Arguments& a, std::ostream&) { ftp.DeleteFile(a[0]); }}},
        {"rename", {2, 2, [](TIdFTP& ftp, const Arguments& a, std::ostream&) { ftp.RenameFile(a[0], a[1]); }}},
        {"site", {1, Unlimited, [](TIdFTP& ftp, const Arguments& a, std::ostream&) { ftp.SiteCommand(Joined(a)); }}},
        {"size", {1, 1, [](TIdFTP& ftp, const Arguments& a, std::ostream& out) { out << ftp.FileSize(a[0]) << '\n'; }}},
        {"system", {0, 0, [](TIdFTP& ftp, const Arguments&, std::ostream& out) { out << ftp.SystemName << '\n'; }}},
    };
    return commands;
}

}  // namespace

void CheckToolCommands(const std::vector<ToolCommand>& commands) {
    for (const ToolCommand& command : commands) {
        auto found = Commands().find(command.name);
        if (found == Commands().end()) throw UsageError("unknown command " + command.name);
        size_t count = command.arguments.size();
        if (count < found->second.minArguments || count > found->second.maxArguments)
            throw UsageError("wrong number of arguments for " + command.name);
    }
}

void RunToolCommand(TIdFTP& ftp, const ToolCommand& command, std::ostream& out) {
    Commands().at(command.name).run(ftp, command.arguments, out);
}
