#include "ToolCommands.h"

#include "MirrorCommand.h"
#include "ToolSession.h"
#include "ftp/IdException.h"
#include "ftp/IdText.h"

#include <algorithm>

#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>

namespace {

using Arguments = std::vector<std::string>;

struct CommandEntry {
    size_t minArguments;
    size_t maxArguments;
    // An optional switch after the arguments ("--resume"), empty when the command has none.
    std::string flag;
    std::function<void(TToolSession&, const Arguments&, bool flagSet, std::ostream&)> run;
};

constexpr size_t Unlimited = static_cast<size_t>(-1);

std::string Joined(const Arguments& arguments) {
    std::string text;
    for (const std::string& argument : arguments) text += (text.empty() ? "" : " ") + argument;
    return text;
}

std::string Mask(const Arguments& arguments) { return arguments.empty() ? std::string() : arguments[0]; }

// A typed name as the server knows it. Before any listing has told the connection its name
// encoding, the current folder's is read first, so that a Japanese name reaches a Shift_JIS
// server as Shift_JIS.
std::string Remote(TToolSession& session, const std::string& typed) {
    const bool telling = std::any_of(typed.begin(), typed.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (telling && !session.RemoteEngine().NameCodec().Settled()) session.LearnNameEncoding();
    return session.RemoteEngine().NameCodec().ServerName(typed);
}

// Server bytes for a terminal: decoded, undecodable bytes and control characters as \xNN.
std::string Shown(TToolSession& session, std::string_view bytes) {
    return PrintableText(session.RemoteEngine().NameCodec().Decode(bytes, TUndecodable::Backslash));
}

std::string EntryLine(TToolSession& session, const TIdFTPListItem& item) {
    const char kind = item.Kind == ikDirectory ? 'd' : item.Kind == ikSymLink ? 'l' : 'f';
    const TDateParts t = DecodeDateTime(item.Modified);
    char text[64];
    // A machine listing's time is UTC, marked as ISO 8601 marks it.
    std::snprintf(text, sizeof text, " %04d-%02d-%02d %02d:%02d:%02d%s ", t.year, t.month, t.day, t.hour, t.minute,
                  t.second, item.ModifiedUtc ? "Z" : "");
    std::string line = std::string(1, kind) + " " + std::to_string(item.Size) + text + Shown(session, item.Name());
    if (item.Kind == ikSymLink && !item.LinkTarget().empty()) line += " -> " + Shown(session, item.LinkTarget());
    return line;
}

// The server's lines, decoded as its names are.
void PrintLines(TToolSession& session, const std::vector<std::string>& lines, std::ostream& out) {
    for (const std::string& line : lines) out << Shown(session, line) << '\n';
}

int64_t LocalFileLength(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_size : 0;
}

// As the window resumes: without a local file a plain download; otherwise only the part the
// server has beyond the local length, and nothing when there is none or no size is known.
// False when nothing was transferred.
bool ResumeDownload(TToolSession& session, const std::string& typedRemote, const std::string& local) {
    const std::string remote = Remote(session, typedRemote);
    if (!session.RemoteEngine().ResumeSupported()) throw std::runtime_error("the server cannot resume downloads");
    const int64_t localLength = LocalFileLength(local);
    if (localLength == 0) {
        session.RemoteEngine().Get(remote, local, true, false, std::nullopt);
        return true;
    }
    const int64_t remoteSize = session.RemoteEngine().FileSize(remote);
    if (remoteSize - localLength <= 0) {
        std::cerr << "marlux-ftp: nothing to resume: " << PrintableText(local)
                  << (remoteSize < 0 ? " (the server gives no size)\n" : " is as long as the remote file\n");
        return false;
    }
    session.RemoteEngine().Get(remote, local, false, true, std::nullopt);
    return true;
}


const std::map<std::string, CommandEntry>& Commands() {
    static const std::map<std::string, CommandEntry> commands{
        {"pwd", {0, 0, {}, [](TToolSession& session, const Arguments&, bool, std::ostream& out) { out << Shown(session, session.RemoteEngine().CurrentDirectory()) << '\n'; }}},
        {"cd", {1, 1, {}, [](TToolSession& session, const Arguments& a, bool, std::ostream&) { session.RemoteEngine().ChangeDirectory(Remote(session, a[0])); }}},
        {"cdup", {0, 0, {}, [](TToolSession& session, const Arguments&, bool, std::ostream&) { session.RemoteEngine().ChangeToParent(); }}},
        {"mkdir", {1, 1, {}, [](TToolSession& session, const Arguments& a, bool, std::ostream&) { session.RemoteEngine().MakeDirectory(Remote(session, a[0])); }}},
        {"rmdir", {1, 1, {}, [](TToolSession& session, const Arguments& a, bool, std::ostream&) { session.RemoteEngine().RemoveDirectory(Remote(session, a[0])); }}},
        {"rm", {1, 1, {}, [](TToolSession& session, const Arguments& a, bool, std::ostream&) { session.RemoteEngine().DeleteFile(Remote(session, a[0])); }}},
        {"rename", {2, 2, {}, [](TToolSession& session, const Arguments& a, bool, std::ostream&) { session.RemoteEngine().RenameFile(Remote(session, a[0]), Remote(session, a[1])); }}},
        {"site", {1, Unlimited, {}, [](TToolSession& session, const Arguments& a, bool, std::ostream&) { session.RemoteEngine().SiteCommand(Remote(session, Joined(a))); }}},
        {"size", {1, 1, {}, [](TToolSession& session, const Arguments& a, bool, std::ostream& out) { out << session.RemoteEngine().FileSize(Remote(session, a[0])) << '\n'; }}},
        {"system", {0, 0, {}, [](TToolSession& session, const Arguments&, bool, std::ostream& out) { out << PrintableText(session.RemoteEngine().SystemName()) << '\n'; }}},
        {"ls", {0, 1, {}, [](TToolSession& session, const Arguments& a, bool, std::ostream& out) {
             TRemoteEngine& engine = session.RemoteEngine();
             engine.ListDirectory(Remote(session, Mask(a)));
             for (const TIdFTPListItem& item : engine.Listing())
                 out << EntryLine(session, item) << '\n';
         }}},
        {"nlst", {0, 1, {}, [](TToolSession& session, const Arguments& a, bool, std::ostream& out) {
             PrintLines(session, session.ListLines(Remote(session, Mask(a)), false), out);
         }}},
        {"rawls", {0, 1, {}, [](TToolSession& session, const Arguments& a, bool, std::ostream& out) {
             PrintLines(session, session.ListLines(Remote(session, Mask(a)), true), out);
         }}},
        {"get", {2, 2, "--resume", [](TToolSession& session, const Arguments& a, bool resume, std::ostream& out) {
             if (!resume)
                 session.RemoteEngine().Get(Remote(session, a[0]), a[1], true, false, std::nullopt);
             else if (!ResumeDownload(session, a[0], a[1]))
                 return;
             out << session.VerificationLine() << '\n';
         }}},
        {"put", {2, 2, "--append", [](TToolSession& session, const Arguments& a, bool append, std::ostream& out) {
             session.RemoteEngine().Put(a[0], Remote(session, a[1]), append);
             out << session.VerificationLine() << '\n';
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
        if (command.name == "mirror") {
            ParseMirrorArguments(command.arguments);
            continue;
        }
        auto found = Commands().find(command.name);
        if (found == Commands().end()) throw UsageError("unknown command " + command.name);
        bool flagSet = false;
        size_t count = Positional(command, found->second, flagSet).size();
        if (count < found->second.minArguments || count > found->second.maxArguments)
            throw UsageError("wrong number of arguments for " + command.name);
    }
}

int RunToolCommand(TToolSession& session, const ToolOptions& options, const ToolCommand& command, std::ostream& out) {
    if (command.name == "mirror") {
        TMirrorArguments mirror = ParseMirrorArguments(command.arguments);
        mirror.remote = Remote(session, mirror.remote);
        return RunMirror(session, options, mirror, out);
    }
    const CommandEntry& entry = Commands().at(command.name);
    bool flagSet = false;
    Arguments positional = Positional(command, entry, flagSet);
    entry.run(session, positional, flagSet, out);
    return 0;
}
