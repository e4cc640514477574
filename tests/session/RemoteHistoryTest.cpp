#include "session/RemoteHistory.h"

#include "fixtures/TempDir.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(RemoteHistory, OrdinaryProfileNamesMapUnchanged)
{
    EXPECT_EQ(RemoteHistoryFileName(QStringLiteral("my site")), QStringLiteral("my site.lst"));
    EXPECT_EQ(RemoteHistoryFileName(QStringLiteral("100%")), QStringLiteral("100%.lst"));
    EXPECT_EQ(RemoteHistoryFileName(QStringLiteral("...")), QStringLiteral("....lst"));
    EXPECT_EQ(RemoteHistoryPath(QStringLiteral("/h/LST"), QStringLiteral("CURRENT")), QStringLiteral("/h/LST/CURRENT.lst"));
}

TEST(RemoteHistory, NamesThatWouldLeaveTheFolderAreEscapedAndStayApart)
{
    const QStringList names{"a/b", "../../etc/x", ".", "..", "a%2Fb/"};
    QStringList files;
    for (const QString& name : names) {
        const QString file = RemoteHistoryFileName(name);
        EXPECT_FALSE(file.contains(u'/')) << name.toStdString();
        files << file;
    }
    EXPECT_EQ(files, (QStringList{"a%2Fb.lst", "..%2F..%2Fetc%2Fx.lst", "%2E.lst", "%2E%2E.lst",
                                  "a%252Fb%2F.lst"}));
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
