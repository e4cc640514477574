#include "WalkHost.h"
#include "service/WalkPlanLines.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <tuple>

namespace {

// "kind reason path size", one string per line of the plan.
std::vector<std::string> Shown(const TWalkPlan& plan)
{
    static const char* const kinds[] = {"mkdir", "send", "skip", "delete"};
    std::vector<std::string> shown;
    for (const TPlanLine& line : PlanLines(plan)) {
        std::string text = kinds[int(line.kind)];
        if (line.reason != TEntryReason::None)
            text += std::string(" ") + ReasonText(line.reason);
        text += " " + line.path.toStdString();
        if (line.kind != TPlanLineKind::MakeFolder)
            text += " " + std::to_string(line.size);
        shown.push_back(text);
    }
    return shown;
}

using WalkPlanTest = WalkScene;

TEST_F(WalkPlanTest, AMirroringUploadPlanChangesNothingListsEveryFateAndItsRunDoesExactlyWhatItListed)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const char* name : {"fresh.txt", "newer.txt", "older.txt", "same.txt", "keep.bak", "sub/inner.txt", "exists/x.txt"})
        WriteWithFolders(Local(name), "local");
    for (const char* name : {"newer.txt", "older.txt", "same.txt", "keep.bak", "exists/x.txt", "exists/stale.txt"})
        WriteWithFolders(Remote(name), "remote");
    WriteWithFolders(Remote("gone.txt"), "gone!!");
    WriteWithFolders(Remote("gone.log"), "log");
    std::filesystem::create_directories(Remote("olddir"));
    SetModified(Remote("newer.txt"), now - 3 * 86400);
    SetModified(Remote("exists/x.txt"), now - 3 * 86400);
    SetModified(Local("older.txt"), now - 3 * 86400);
    SetModified(Local("same.txt"), now - 86400);
    SetModified(Remote("same.txt"), now - 86400);
    const auto server = FileTree(session_.server.Root());
    const auto local = FileTree(session_.local.Path());

    const TFolderWalk::TSettings settings{.rules = {.compareTimeStamp = true, .skipExtensions = {".bak"},
                                                    .mirror = true, .noDeleteExtensions = {".log"}}};
    TFolderWalk walk(host_, settings);
    const TWalkPlan plan = walk.PlanUpload(LocalRoot(), QString());
    EXPECT_EQ(FileTree(session_.server.Root()), server);
    EXPECT_EQ(FileTree(session_.local.Path()), local);
    EXPECT_TRUE(host_.files.empty());
    EXPECT_TRUE(plan.complete);
    EXPECT_EQ(Shown(plan), (std::vector<std::string>{"delete gone.txt 6", "delete exists/stale.txt 6",
                                                     "send newer exists/x.txt 5", "mkdir sub", "send new sub/inner.txt 5",
                                                     "send new fresh.txt 5", "skip skip list keep.bak 5",
                                                     "send newer newer.txt 5", "skip older older.txt 5",
                                                     "skip same same.txt 5"}));
    const TPlanCounts counts = CountPlan(PlanLines(plan));
    EXPECT_EQ(std::tuple(counts.foldersToMake, counts.filesToSend, counts.bytesToSend, counts.skipped, counts.deletions),
              std::tuple(1, 4, 20, 3, 2));
    EXPECT_EQ(session_.ftp.CurrentDirectory(), "/");

    // What appears after the plan was made is not in it and stays.
    WriteWithFolders(Remote("late.txt"), "late");
    walk.Run(plan);
    EXPECT_EQ(host_.deleted, (std::vector<QString>{QStringLiteral("gone.txt"), QStringLiteral("stale.txt")}));
    EXPECT_EQ(host_.files, (std::vector<QString>{QStringLiteral("x.txt"), QStringLiteral("inner.txt"),
                                                 QStringLiteral("fresh.txt"), QStringLiteral("newer.txt")}));
    EXPECT_EQ(session_.sent.Count("MKD"), 1u);
    EXPECT_EQ(TempDir::ReadFile(Remote("sub/inner.txt")), "local");
    EXPECT_EQ(TempDir::ReadFile(Remote("older.txt")), "remote");
    EXPECT_EQ(TempDir::ReadFile(Remote("keep.bak")), "remote");
    for (const char* kept : {"late.txt", "gone.log", "olddir"})
        EXPECT_TRUE(TempDir::Exists(Remote(kept))) << kept;
    EXPECT_FALSE(TempDir::Exists(Remote("gone.txt")));
    EXPECT_EQ(session_.ftp.CurrentDirectory(), "/");
}

TEST_F(WalkPlanTest, AMirroringDownloadPlanMakesNoFolderAndItsRunDeletesOnlyLocalFilesTheServerLacks)
{
    WriteWithFolders(Remote("r.txt"), "remote r");
    WriteWithFolders(Remote("dir/d.txt"), "remote d");
    WriteWithFolders(Local("r.txt"), "local r");
    WriteWithFolders(Local("stray.txt"), "stray");
    WriteWithFolders(Local("stray.log"), "log");
    WriteWithFolders(Local("keepdir/k.txt"), "k");
    const auto local = FileTree(session_.local.Path());

    TFolderWalk walk(host_, {.rules = {.mirror = true, .noDeleteExtensions = {".log"}}});
    const TWalkPlan plan = walk.PlanDownload(LocalRoot(), QString());
    EXPECT_EQ(FileTree(session_.local.Path()), local);
    EXPECT_TRUE(host_.createdFolders.empty());
    // Without the comparison an existing file is replaced unseen, and says so.
    EXPECT_EQ(Shown(plan), (std::vector<std::string>{"delete stray.txt 5", "mkdir dir", "send new dir/d.txt 8",
                                                     "send replace r.txt 8"}));

    walk.Run(plan);
    EXPECT_EQ(TempDir::ReadFile(Local("dir/d.txt")), "remote d");
    EXPECT_EQ(TempDir::ReadFile(Local("r.txt")), "remote r");
    EXPECT_FALSE(TempDir::Exists(Local("stray.txt")));
    EXPECT_TRUE(TempDir::Exists(Local("stray.log")));
    EXPECT_EQ(TempDir::ReadFile(Local("keepdir/k.txt")), "k");
    EXPECT_EQ(host_.createdFolders, std::vector<QString>{QStringLiteral("dir")});
    EXPECT_EQ(host_.deleted, std::vector<QString>{QStringLiteral("stray.txt")});
}

}  // namespace
