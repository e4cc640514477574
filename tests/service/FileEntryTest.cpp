#include "fixtures/FileTimes.h"
#include "fixtures/PinnedZone.h"
#include "fixtures/TempDir.h"
#include "ftp/IdFTPList.h"
#include "platform/DirectoryScan.h"
#include "platform/NameCodec.h"
#include "service/FileEntries.h"

#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::chrono;

const TDateParts June2026{2026, 6, 15, 10, 0, 0, 0};

TIdFTPListItems Listing(const std::string& text, TIdFTPListFormat format)
{
    TIdFTPListItems items;
    items.ListFormat = format;
    items.LoadLines(TIdListLines::FromText(text), June2026);
    return items;
}

std::vector<TFileEntry> Entries(const TIdFTPListItems& items)
{
    TNameCodec codec;
    TListedEntryMaker maker(codec);
    std::vector<TFileEntry> entries;
    for (const TIdFTPListItem& item : items)
        entries.push_back(maker.Entry(item));
    return entries;
}

TEntryTime::TPoint Utc(int year, int month, int day, int hour, int minute, int second, int millisecond = 0)
{
    return sys_days(std::chrono::year(year) / month / day) + hours(hour) + minutes(minute) + seconds(second) +
           milliseconds(millisecond);
}

// "kind -> link", the link part for links only.
std::string KindAndLink(const TFileEntry& entry)
{
    static const char* const kinds[] = {"file", "folder", "link", "other"};
    return kinds[int(entry.kind)] + (entry.linkTarget.isEmpty() ? "" : " -> " + entry.linkTarget.toStdString());
}

// An entry's facts but its time point: "name: size (? when not listed) precision clock rights kind -> link".
std::string Facts(const TFileEntry& entry)
{
    static const char* const precisions[] = {"untimed", "day", "minute", "second"};
    std::string facts = entry.name.toStdString() + ": " + std::to_string(entry.size);
    facts += std::string(entry.sizeKnown ? "" : "?") + ' ' + precisions[int(entry.modified.precision)];
    if (entry.modified.Known())
        facts += entry.modified.utc ? " utc" : " own";
    return facts + ' ' + entry.rights.toStdString() + ' ' + KindAndLink(entry);
}

std::vector<std::string> AllFacts(const std::vector<TFileEntry>& entries)
{
    std::vector<std::string> facts;
    for (const TFileEntry& entry : entries)
        facts.push_back(Facts(entry));
    return facts;
}

// Sizes past 32 bits; a year instead of a time is known to the day, on the server's own clock;
// a machine listing's times are UTC instants, and a missing size or time is told. The time each
// entry names to the second is the pane times' test.
TEST(ListedEntries, ListingsGiveKindsFullSizesRightsLinksAndTheirTimesPrecisionAndClock)
{
    const std::vector<TFileEntry> unix = Entries(Listing("-rw-r--r-- 1 u g 5000000000 Jan  2  2004 big.iso\r\n"
                                                         "drwxr-x--- 2 u g 4096 Mar  1 12:34 docs\r\n"
                                                         "lrwxrwxrwx 1 u g 7 Mar  1 12:34 current -> release\r\n",
                                                         lfUnix));
    EXPECT_EQ(AllFacts(unix), (std::vector<std::string>{"big.iso: 5000000000 day own rw- file",
                                                        "docs: 4096 minute own rwx folder",
                                                        "current: 7 minute own rwx link -> release"}));
    EXPECT_EQ(unix[0].nameBytes, QByteArray("big.iso"));

    const std::vector<TFileEntry> machine = Entries(Listing("type=file;size=1234;modify=20240229134507.250; report.pdf\r\n"
                                                            "type=file;modify=20240229134507; nosize\r\n"
                                                            "type=file;size=5; notime\r\n",
                                                            lfMlsd));
    EXPECT_EQ(AllFacts(machine), (std::vector<std::string>{"report.pdf: 1234 second utc ??? file",
                                                           "nosize: 0? second utc ??? file", "notime: 5 untimed ??? file"}));
    EXPECT_EQ(machine[0].modified.point, Utc(2024, 2, 29, 13, 45, 7, 250));
}

TEST(LocalEntries, AScanGivesKindsWithLinksShownAsWhatTheyPointToAndTheInstantToTheSecond)
{
    TempDir dir;
    TempDir::WriteFile(dir.File("file.txt"), "12345");
    const std::time_t modified = 1699146123;
    SetModified(dir.File("file.txt"), modified);
    ASSERT_EQ(mkdir(dir.File("sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink("file.txt", dir.File("to-file").c_str()), 0);
    ASSERT_EQ(symlink("sub", dir.File("to-sub").c_str()), 0);
    ASSERT_EQ(symlink("missing", dir.File("dangling").c_str()), 0);
    ASSERT_EQ(mkfifo(dir.File("pipe").c_str(), 0600), 0);

    TLocalEntryMaker maker;
    std::map<std::string, TFileEntry> entries;
    std::map<std::string, std::string> kinds;
    for (const DirectoryEntry& found : ScanDirectory(dir.Path() + "/", "*.*")) {
        entries[found.name] = maker.Entry(found);
        kinds[found.name] = KindAndLink(entries[found.name]);
    }
    EXPECT_EQ(kinds, (std::map<std::string, std::string>{{"dangling", "link -> missing"}, {"file.txt", "file"},
                                                         {"pipe", "other"}, {"sub", "folder"},
                                                         {"to-file", "file -> file.txt"}, {"to-sub", "folder -> sub"}}));
    EXPECT_EQ(entries["file.txt"].size, 5);
    EXPECT_EQ(entries["to-file"].size, 5);
    EXPECT_EQ(ExactInstant(entries["file.txt"].modified), modified);
}

// How each reads on the local clock is the pane times' test.
TEST(EntryTime, UtcIsAnInstantAListingsOwnClockReadsAsTheLocalClock)
{
    const PinnedZone japan("JST-9");
    const TEntryTime utc{.point = Utc(2024, 2, 29, 13, 45, 7, 250), .precision = TTimePrecision::Second, .utc = true};
    EXPECT_EQ(ExactInstant(utc), 1709214307);
    EXPECT_EQ(InstantOf(utc), 1709214307);

    // The same reading on the server's own clock names the instant nine hours earlier.
    const TEntryTime own{.point = utc.point, .precision = TTimePrecision::Second, .utc = false};
    EXPECT_FALSE(ExactInstant(own));
    EXPECT_EQ(InstantOf(own), 1709214307 - 9 * 3600);

    // A UTC time known only to the minute is no instant to compare with to the second.
    EXPECT_FALSE(ExactInstant({.point = utc.point, .precision = TTimePrecision::Minute, .utc = true}));
    EXPECT_FALSE(InstantOf({}));
}

}  // namespace
