// File facts of RFC 3659: machine listings (MLSD, MLST), modification times (MDTM, MFMT), and
// SITE UTIME where MFMT is missing.
#include "ftp/IdFTP.h"

#include "ftp/IdException.h"
#include "ftp/IdFeatureList.h"
#include "ftp/IdFTPListParse.h"
#include "ftp/IdText.h"

#include <algorithm>
#include <ctime>

namespace {

// "YYYYMMDDHHMMSS" of a time in UTC.
std::string TimeVal(std::int64_t unixTime) {
    const std::time_t t = static_cast<std::time_t>(unixTime);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return text;
}

// The first line of FEAT starting with these words, letter case aside.
bool OffersLine(const std::vector<std::string>& features, std::string_view words) {
    return std::any_of(features.begin(), features.end(), [words](const std::string& line) {
        return line.size() >= words.size() && listing::EqualsNoCase(std::string_view(line).substr(0, words.size()), words) &&
               (line.size() == words.size() || line[words.size()] == ' ');
    });
}

}  // namespace

// Some servers (pyftpdlib) keep UNIX.mode back unless asked: without it the rights column shows
// only what the login may do, so a CHMOD would never show. The selection names every fact the
// server sends now, as OPTS MLST replaces it whole (RFC 3659 7.9); a refusal changes nothing.
void TIdFTP::RequestModeFact() {
    if (!UseMLSD) return;
    std::string selection;
    std::string_view modeFact;
    for (const TIdFeatureEntry& fact : FeatureEntries(Features, "MLST")) {
        if (listing::EqualsNoCase(fact.name, "UNIX.MODE")) {
            if (fact.marked) return;
            modeFact = fact.name;
        } else if (fact.marked) {
            selection.append(fact.name).append(";");
        }
    }
    if (!modeFact.empty()) SendCommand("OPTS MLST " + selection + std::string(modeFact) + ";");
}

bool TIdFTP::ListsByMlsd() const { return UseMLSD && !mlsdRefused_ && Supports("MLST"); }

void TIdFTP::ListDirectory(const std::string& mask) {
    if (!mask.empty() || !ListsByMlsd()) {
        List(nullptr, mask);
        return;
    }
    try {
        ReceiveListing("MLSD", true);
        return;
    } catch (const EIdProtocolReplyError& e) {
        // Not understood or not implemented: FEAT promised more than the server keeps. Other
        // refusals (a directory that cannot be read) are LIST's too.
        const int code = e.ReplyErrorCode();
        if (code != 500 && code != 501 && code != 502 && code != 504) throw;
    }
    mlsdRefused_ = true;
    ReportStatus(stStatusText, "The server refuses MLSD although it offers MLST: listing by LIST on this connection.");
    List(nullptr, mask);
}

void TIdFTP::ListFolder(const std::string& folder) {
    if (folder.empty())
        ListDirectory({});
    else if (ListsByMlsd())
        // A refusal here may be the folder's (pyftpdlib answers 501 for a missing one): it
        // says nothing of MLSD, so the connection keeps it.
        ReceiveListing("MLSD " + folder, true);
    else
        List(nullptr, folder);
}

std::optional<std::int64_t> TIdFTP::ModificationTime(const std::string& name) {
    TIdListLineFields fields;
    if (Supports("MLST") && UseMLSD) {
        // The facts come on the reply's second line, after one blank.
        if (SendCommand("MLST " + name) == 250 && LastReply.Lines.size() >= 3 && !LastReply.Lines[1].empty() &&
            ParseMlsdLine(std::string_view(LastReply.Lines[1]).substr(1), fields) == TMlsdLine::Entry &&
            fields.precision == tpSecond)
            return UnixTimeOfUtc(fields.modified);
    }
    if (!Supports("MDTM") || SendCommand("MDTM " + name) != 213) return std::nullopt;
    TDateTime modified = 0;
    if (LastReply.Text.empty() || !listing::MachineTime(Trim(LastReply.Text.front()), modified)) return std::nullopt;
    return UnixTimeOfUtc(modified);
}

bool TIdFTP::CanSetModificationTime() const { return Supports("MFMT") || OffersLine(Features, "SITE UTIME"); }

bool TIdFTP::SetModificationTime(const std::string& name, std::int64_t unixTime) {
    if (Supports("MFMT")) return SendCommand("MFMT " + TimeVal(unixTime) + " " + name) == 213;
    if (OffersLine(Features, "SITE UTIME"))
        return SendCommand("SITE UTIME " + TimeVal(unixTime) + " " + name) / 100 == 2;
    return false;
}
