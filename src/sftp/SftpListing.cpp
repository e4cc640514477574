// Listings made straight from the server's attributes: no text is parsed.
#include "sftp/SftpSession.h"

#include "platform/DirectoryScan.h"
#include "sftp/SftpRights.h"

#include <libssh/libssh.h>
#include <libssh/sftp.h>

#include <sys/stat.h>

namespace {

char TypeLetter(const sftp_attributes_struct& attributes)
{
    switch (attributes.type) {
    case SSH_FILEXFER_TYPE_DIRECTORY: return 'd';
    case SSH_FILEXFER_TYPE_SYMLINK: return 'l';
    case SSH_FILEXFER_TYPE_SPECIAL:
        switch (attributes.permissions & S_IFMT) {
        case S_IFCHR: return 'c';
        case S_IFBLK: return 'b';
        case S_IFIFO: return 'p';
        case S_IFSOCK: return 's';
        default: return '?';
        }
    default: return '-';
    }
}


// Where each text of an entry lies in the listing's record bytes, until those are final.
struct TPendingEntry {
    std::size_t start = 0;
    std::size_t rightsLength = 0, ownerLength = 0, groupLength = 0, nameLength = 0, targetLength = 0;
    TIdListLineFields fields;
};

}  // namespace

void TSftpSession::ListDirectory(const std::string& mask)
{
    RequireConnected();
    TSftpWait wait(watchdog_, ReadTimeout);
    sftp_dir directory = sftp_opendir(sftp_, currentDirectory_.c_str());
    if (!directory)
        Fail(currentDirectory_);
    listing_.Clear();
    listingLines_.clear();
    std::string records;
    std::vector<TPendingEntry> pending;
    while (sftp_attributes attributes = sftp_readdir(sftp_, directory)) {
        watchdog_.Progress();
        const std::string name = attributes->name ? attributes->name : "";
        if (name.empty() || name == "." || name == ".." || (!mask.empty() && !WildcardMatch(name, mask))) {
            sftp_attributes_free(attributes);
            continue;
        }
        TPendingEntry entry;
        TIdListLineFields& fields = entry.fields;
        const char type = TypeLetter(*attributes);
        fields.kind = type == 'd' ? ikDirectory : type == 'l' ? ikSymLink : ikFile;
        fields.sizeKnown = attributes->flags & SSH_FILEXFER_ATTR_SIZE;
        fields.size = fields.sizeKnown ? static_cast<std::int64_t>(attributes->size) : 0;
        if (attributes->flags & SSH_FILEXFER_ATTR_ACMODTIME) {
            fields.modified = UtcDateTimeOf(attributes->mtime);
            fields.precision = tpSecond;
            fields.modifiedUtc = true;
        } else {
            fields.precision = tpUnknown;
        }
        const bool hasRights = attributes->flags & SSH_FILEXFER_ATTR_PERMISSIONS;
        const bool hasOwner = attributes->flags & SSH_FILEXFER_ATTR_UIDGID;
        fields.hasUnixColumns = hasRights;
        fields.mode = hasRights ? static_cast<int>(attributes->permissions & 07777) : -1;
        std::string target;
        if (fields.kind == ikSymLink) {
            if (char* link = sftp_readlink(sftp_, Resolved(name).c_str())) {
                target = link;
                ssh_string_free_char(link);
            }
        }
        const std::string rights = hasRights ? RightsText(type, attributes->permissions) : std::string();
        const std::string owner = hasOwner ? std::to_string(attributes->uid) : std::string();
        const std::string group = hasOwner ? std::to_string(attributes->gid) : std::string();
        listingLines_.push_back(attributes->longname ? attributes->longname : name);
        sftp_attributes_free(attributes);

        const std::string record = rights + ' ' + owner + ' ' + group + ' ' + name + (target.empty() ? "" : " -> " + target);
        if (record.size() > MaxListLineBytes) {
            ReportStatus(stStatusText, "Listing entry skipped: its name is longer than the listing allows");
            listingLines_.pop_back();
            continue;
        }
        entry.start = records.size();
        entry.rightsLength = rights.size();
        entry.ownerLength = owner.size();
        entry.groupLength = group.size();
        entry.nameLength = name.size();
        entry.targetLength = target.size();
        records += record;
        records += '\n';
        pending.push_back(entry);
    }
    const bool complete = sftp_dir_eof(directory);
    sftp_closedir(directory);
    if (!complete)
        Fail(currentDirectory_);

    const TIdListLines lines = TIdListLines::FromText(records);
    const char* base = lines.Text().data();
    std::vector<TIdFTPListItems::TRecordFields> entries;
    std::vector<std::string_view> names;
    entries.reserve(pending.size());
    for (TPendingEntry& entry : pending) {
        const char* at = base + entry.start;
        auto take = [&](std::size_t length) {
            std::string_view part(at, length);
            at += length + 1;
            return part;
        };
        entry.fields.permissions = take(entry.rightsLength);
        entry.fields.owner = take(entry.ownerLength);
        entry.fields.group = take(entry.groupLength);
        entry.fields.name = std::string_view(at, entry.nameLength);
        at += entry.nameLength + 4;
        entry.fields.linkTarget = entry.targetLength ? std::string_view(at, entry.targetLength) : std::string_view();
        const std::size_t length = at + entry.targetLength - (base + entry.start) - (entry.targetLength ? 0 : 4);
        entries.emplace_back(std::string_view(base + entry.start, length), entry.fields);
        names.push_back(entry.fields.name);
    }
    listing_.LoadRecords(lines, entries);
    NameCodec.Observe(names);
}
