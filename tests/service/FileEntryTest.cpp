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

TEST(ListedEntries, UnixLinesGiveKindsFullSizesRightsLinksAndTheirTimesPrecision)
{
    const std::vector<TFileEntry> entries = Entries(Listing(
        "-rw-r--r-- 1 u g 5000000000 Jan  2  2004 big.iso\r\n"
        "drwxr-x--- 2 u g 4096 Mar  1 12:34 docs\r\n"
        "lrwxrwxrwx 1 u g 7 Mar  1 12:34 current -> release\r\n",
        lfUnix));
    ASSERT_EQ(entries.size(), 3u);

    const TFileEntry& big = entries[0];
    EXPECT_EQ(big.name, QStringLiteral("big.iso"));
    EXPECT_EQ(big.nameBytes, QByteArray("big.iso"));
    EXPECT_EQ(big.size, 5000000000);  // past 32 bits
    EXPECT_TRUE(big.sizeKnown);
    EXPECT_EQ(big.kind, TEntryKind::File);
    EXPECT_EQ(big.rights, QStringLiteral("rw-"));
    // A year instead of a time: known to the day, on the server's own clock.
    EXPECT_EQ(big.modified.precision, TTimePrecision::Day);
    EXPECT_FALSE(big.modified.utc);
    EXPECT_EQ(floor<days>(big.modified.point), sys_days(2004y / 1 / 2));

    const TFileEntry& docs = entries[1];
    EXPECT_TRUE(docs.IsFolder());
    EXPECT_EQ(docs.rights, QStringLiteral("rwx"));
    EXPECT_EQ(docs.modified.precision, TTimePrecision::Minute);
    EXPECT_EQ(floor<minutes>(docs.modified.point), floor<minutes>(Utc(2026, 3, 1, 12, 34, 0)));

    const TFileEntry& link = entries[2];
    EXPECT_EQ(link.kind, TEntryKind::Link);
    EXPECT_FALSE(link.IsFolder());
    EXPECT_EQ(link.name, QStringLiteral("current"));
    EXPECT_EQ(link.linkTarget, QByteArray("release"));
}

TEST(ListedEntries, MachineListingsGiveUtcInstantsAndTellAMissingSizeOrTime)
{
    const std::vector<TFileEntry> entries = Entries(Listing(
        "type=file;size=1234;modify=20240229134507.250; report.pdf\r\n"
        "type=file;modify=20240229134507; nosize\r\n"
        "type=file;size=5; notime\r\n",
        lfMlsd));
    ASSERT_EQ(entries.size(), 3u);

    const TEntryTime& report = entries[0].modified;
    EXPECT_TRUE(report.utc);
    EXPECT_EQ(report.precision, TTimePrecision::Second);
    EXPECT_EQ(report.point, Utc(2024, 2, 29, 13, 45, 7, 250));

    EXPECT_FALSE(entries[1].sizeKnown);
    EXPECT_EQ(entries[1].size, 0);
    EXPECT_FALSE(entries[2].modified.Known());
    EXPECT_FALSE(InstantOf(entries[2].modified));
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
    std::map<QString, TFileEntry> entries;
    for (const DirectoryEntry& found : ScanDirectory(dir.Path() + "/", "*.*")) {
        TFileEntry entry = maker.Entry(found);
        entries[entry.name] = std::move(entry);
    }
    ASSERT_EQ(entries.size(), 6u);

    const TFileEntry& file = entries[QStringLiteral("file.txt")];
    EXPECT_EQ(file.kind, TEntryKind::File);
    EXPECT_EQ(file.size, 5);
    EXPECT_TRUE(file.sizeKnown);
    EXPECT_TRUE(file.nameBytes.isEmpty());
    EXPECT_EQ(ExactInstant(file.modified), modified);

    EXPECT_EQ(entries[QStringLiteral("sub")].kind, TEntryKind::Folder);
    EXPECT_EQ(entries[QStringLiteral("to-file")].kind, TEntryKind::File);
    EXPECT_EQ(entries[QStringLiteral("to-file")].size, 5);
    EXPECT_EQ(entries[QStringLiteral("to-file")].linkTarget, QByteArray("file.txt"));
    EXPECT_TRUE(entries[QStringLiteral("to-sub")].IsFolder());
    EXPECT_EQ(entries[QStringLiteral("dangling")].kind, TEntryKind::Link);
    EXPECT_EQ(entries[QStringLiteral("dangling")].linkTarget, QByteArray("missing"));
    EXPECT_EQ(entries[QStringLiteral("pipe")].kind, TEntryKind::Other);
    EXPECT_TRUE(entries[QStringLiteral("file.txt")].linkTarget.isEmpty());
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
