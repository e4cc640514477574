#include "log/SessionLog.h"

#include "log/Editor.h"
#include "log/LogSyntax.h"
#include "support/PaneLines.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class SessionLogTest : public ::testing::Test {
protected:
    SessionLogTest() : log(&pane, [this] { return maxLog; })
    {
        pane.resize(400, 61);
        pane.show();
        QApplication::processEvents();
    }

    QStringList Lines() const { return PaneLines(pane); }

    TEditor pane;
    int maxLog = 500;
    TSessionLog log;
};

TEST_F(SessionLogTest, LimitIsReadOnEveryAppendKeepsTheNewestLinesAndScrollsToTheLast)
{
    for (int i = 0; i < 200; ++i)
        log.AppendLogLine(QStringLiteral("line %1").arg(i));
    EXPECT_TRUE(pane.IsRowVisible(199));
    EXPECT_FALSE(pane.IsRowVisible(0));
    maxLog = 3;
    log.AppendLogLine(QStringLiteral("new"));
    EXPECT_EQ(Lines(), (QStringList{"line 198", "line 199", "new"}));
    EXPECT_EQ(pane.CaretLine(), 2);
    EXPECT_TRUE(pane.IsRowVisible(2));
    for (int limit : {0, -5}) {
        maxLog = limit;
        log.AppendLogLine(QStringLiteral("a"));
        EXPECT_EQ(pane.LineCount(), 0) << limit;
    }
}

TEST_F(SessionLogTest, TrimsAndSkipsBlankText)
{
    log.AppendLogLine(QStringLiteral("   "));
    log.AppendLogLine(QStringLiteral("\r\n"));
    log.AppendLogLine(QStringLiteral("\t\x01 \n"));
    log.AppendLogLine(QString());
    EXPECT_EQ(pane.LineCount(), 0);
    log.AppendLogLine(QStringLiteral(" \t Connected.\r\n"));
    EXPECT_EQ(Lines(), QStringList{"Connected."});
}

TEST_F(SessionLogTest, DirectLinesSkipTrimAndLimit)
{
    maxLog = 0;
    log.AddLineDirect(QStringLiteral("Marlux Version 2.1.2.0 notice "));
    log.AddLineDirect(QStringLiteral("2026/12/06"));
    EXPECT_EQ(Lines(), (QStringList{"Marlux Version 2.1.2.0 notice ", "2026/12/06"}));
}

TEST_F(SessionLogTest, WithoutAPaneNothingHappens)
{
    TSessionLog detached(nullptr, [] { return 500; });
    detached.AppendLogLine(QStringLiteral("text"));
    detached.AddLineDirect(QStringLiteral("text"));
    detached.LogReceived("220 ready\r\n");
    detached.SetPane(&pane);
    detached.AppendLogLine(QStringLiteral("after"));
    EXPECT_EQ(Lines(), QStringList{"after"});
}

TEST_F(SessionLogTest, ReceivedChunksGiveOneCommentLinePerLine)
{
    log.LogReceived("230-Welcome\r\n\r\n230 Login \"successful\" 3.0.\r\n");
    ASSERT_EQ(Lines(), (QStringList{">> 230-Welcome", ">> 230 Login \"successful\" 3.0."}));
    const std::vector<TLogSpan> spans = ClassifyLogLine(pane.Line(1));
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].kind, TLogTokenClass::Comment);
}

TEST_F(SessionLogTest, PasswordIsMasked)
{
    log.LogSent("USER anonymous\r\n");
    log.LogSent("PASS s3cret pass\r\n");
    log.LogSent("pass other\r\n");
    log.LogSent("PASV\r\n");
    log.LogSent("PASS\r\n");
    EXPECT_EQ(Lines(), (QStringList{"<< USER anonymous", "<< PASS ****", "<< pass ****", "<< PASV", "<< PASS ****"}));
    EXPECT_FALSE(Lines().join(u'\n').contains(QStringLiteral("s3cret")));
}

TEST_F(SessionLogTest, InvalidBytesDoNotBreakTheLog)
{
    log.LogReceived(std::string("550 \xff\xfe\x80 name\r\n"));
    log.LogReceived("257 \"/日本語\"\r\n");
    ASSERT_EQ(pane.LineCount(), 2);
    EXPECT_TRUE(pane.Line(0).startsWith(QStringLiteral(">> 550 ")));
    EXPECT_TRUE(pane.Line(0).endsWith(QStringLiteral(" name")));
    EXPECT_EQ(pane.Line(1), QStringLiteral(">> 257 \"/日本語\""));
}

}
