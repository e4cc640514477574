#include "log/SessionLog.h"

#include "log/Editor.h"
#include "support/PaneLines.h"

#include <QApplication>
#include <gtest/gtest.h>

TEST(SessionLog, LinesWaitForAPaneKeepWithinTheLimitAndShowEachReplyLineMarkedWithThePasswordMasked)
{
    TEditor pane;
    pane.resize(400, 61);
    pane.show();
    QApplication::processEvents();
    int maxLog = 500;
    TSessionLog log(&pane, [&] { return maxLog; });

    // Without a pane nothing happens; direct lines are not trimmed.
    TSessionLog detached(nullptr, [] { return 500; });
    detached.AppendLogLine(QStringLiteral("text"));
    detached.AddLineDirect(QStringLiteral("text"));
    detached.LogReceived("220 ready\r\n");
    detached.SetPane(&pane);
    detached.AppendLogLine(QStringLiteral("after"));
    detached.AddLineDirect(QStringLiteral("direct, untrimmed "));
    EXPECT_EQ(PaneLines(pane), (QStringList{"after", "direct, untrimmed "}));

    for (int i = 0; i < 200; ++i)
        log.AppendLogLine(QStringLiteral("line %1").arg(i));
    EXPECT_FALSE(pane.IsRowVisible(0));
    maxLog = 3;
    log.AppendLogLine(QStringLiteral(" \t new\r\n"));
    log.AppendLogLine(QStringLiteral(" \r\n"));
    EXPECT_EQ(PaneLines(pane), (QStringList{"line 198", "line 199", "new"}));
    EXPECT_EQ(pane.CaretLine(), 2);
    EXPECT_TRUE(pane.IsRowVisible(2));
    maxLog = -5;
    log.AppendLogLine(QStringLiteral("a"));
    EXPECT_EQ(pane.LineCount(), 0);

    maxLog = 500;
    log.LogReceived("230-Welcome\r\n\r\n230-cr\r230-lf\n230 Login \"successful\" 3.0.\r\n");
    log.LogSent("USER anonymous\r\nPASS s3cret\r\n");
    log.LogReceived(std::string("550 \xff\xfe\x80 日本語\r\n"));
    const QStringList lines = PaneLines(pane);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines.mid(0, 6), (QStringList{">> 230-Welcome", ">> 230-cr", ">> 230-lf", ">> 230 Login \"successful\" 3.0.", "<< USER anonymous",
                                            "<< PASS ****"}));
    // Invalid bytes must not cost the rest of the line.
    EXPECT_TRUE(lines[6].startsWith(QStringLiteral(">> 550 ")));
    EXPECT_TRUE(lines[6].endsWith(QStringLiteral(" 日本語")));
}
