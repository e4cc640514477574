#include "session/RemoteHistory.h"

#include "fixtures/TempDir.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <gtest/gtest.h>

// Ordinary names map unchanged; names that would leave the folder are escaped and stay apart.
TEST(RemoteHistory, ProfileNamesMapToFileNamesInsideTheListFolder)
{
    for (const auto& [profile, file] : std::vector<std::pair<QString, QString>>{
             {"my site", "my site.lst"}, {"100%", "100%.lst"}, {"...", "....lst"}, {"a/b", "a%2Fb.lst"},
             {"../../etc/x", "..%2F..%2Fetc%2Fx.lst"}, {".", "%2E.lst"}, {"..", "%2E%2E.lst"},
             {"a%2Fb/", "a%252Fb%2F.lst"}})
        EXPECT_EQ(RemoteHistoryFileName(profile), file);
    EXPECT_EQ(RemoteHistoryPath(QStringLiteral("/h/LST"), QStringLiteral("CURRENT")), QStringLiteral("/h/LST/CURRENT.lst"));
}

TEST(RemoteHistory, EntriesGoAndComeBackInsideTheListFolder)
{
    TempDir lst;
    const QString dir = QString::fromStdString(lst.Path());
    EXPECT_FALSE(LoadRemoteHistory(dir, QStringLiteral("none")));
    for (const QString& profile : {QStringLiteral("site"), QStringLiteral("../up"), QStringLiteral("..")}) {
        SaveRemoteHistory(dir, profile, {"/pub", "/home/日本語"});
        EXPECT_EQ(LoadRemoteHistory(dir, profile), (QStringList{"/pub", "/home/日本語"})) << profile.toStdString();
    }
    EXPECT_EQ(QDir(dir).entryList({"*.lst"}, QDir::Files | QDir::Hidden, QDir::Name), (QStringList{"%2E%2E.lst", "..%2Fup.lst", "site.lst"}));
    EXPECT_THROW(SaveRemoteHistory(dir + QStringLiteral("/missing"), QStringLiteral("x"), {}), std::runtime_error);
}
