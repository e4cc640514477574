#include "log/LogSyntax.h"

#include <gtest/gtest.h>

namespace {

using K = TLogTokenClass;

// The class of every character of the line, for compact expectations.
std::vector<K> ClassPerChar(const QString& line)
{
    std::vector<K> classes(line.size(), K::Text);
    for (const TLogSpan& span : ClassifyLogLine(line))
        for (int i = span.start; i < span.start + span.length; ++i)
            classes[i] = span.kind;
    return classes;
}

K ClassOf(const QString& line, const QString& part)
{
    const qsizetype at = line.indexOf(part);
    EXPECT_GE(at, 0) << part.toStdString();
    const std::vector<K> classes = ClassPerChar(line);
    for (qsizetype i = at + 1; i < at + part.size(); ++i)
        EXPECT_EQ(classes[i], classes[at]) << "mixed classes in " << part.toStdString();
    return classes[at];
}

TEST(LogSyntax, SpansCoverTheLineInOrderWithoutGaps)
{
    const QString line = QStringLiteral("<< PORT 127,0,0,1,4,1 \"x\" http://a.b/c me@host.org Connected. >> rest");
    int next = 0;
    for (const TLogSpan& span : ClassifyLogLine(line)) {
        EXPECT_EQ(span.start, next);
        EXPECT_GT(span.length, 0);
        next = span.start + span.length;
    }
    EXPECT_EQ(next, line.size());
    EXPECT_TRUE(ClassifyLogLine(QString()).empty());
}

TEST(LogSyntax, ReceivedLineIsOneCommentSpan)
{
    const QString line = QStringLiteral(">> 227 Entering Passive Mode (127,0,0,1,4,1) \"/pub\" Connected");
    const std::vector<TLogSpan> spans = ClassifyLogLine(line);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0], (TLogSpan{0, int(line.size()), K::Comment}));
}

TEST(LogSyntax, NumbersStringsAndCommentsNeedTheirBoundaries)
{
    const QString sent = QStringLiteral("<< SITE CHMOD 644 \"my file.txt\" >> 34");
    EXPECT_EQ(ClassOf(sent, QStringLiteral("<< SITE CHMOD ")), K::Text);
    EXPECT_EQ(ClassOf(sent, QStringLiteral("644")), K::Number);
    EXPECT_EQ(ClassOf(sent, QStringLiteral("\"my file.txt\"")), K::String);
    EXPECT_EQ(ClassOf(sent, QStringLiteral(">> 34")), K::Comment);  // the marker starts a comment anywhere
    EXPECT_EQ(ClassOf(QStringLiteral("a > b"), QStringLiteral(">")), K::Text);
    EXPECT_EQ(ClassOf(QStringLiteral("host ftp2 up"), QStringLiteral("ftp2")), K::Text);
    EXPECT_EQ(ClassOf(QStringLiteral("size=2048"), QStringLiteral("2048")), K::Number);
    EXPECT_EQ(ClassOf(QStringLiteral("say \"hello 5"), QStringLiteral("\"hello")), K::Text);  // a lone quote
}

TEST(LogSyntax, ReservedWordsAreWholeWordsOnly)
{
    EXPECT_EQ(ClassOf(QStringLiteral("Connected."), QStringLiteral("Connected")), K::Reserved);
    EXPECT_EQ(ClassOf(QStringLiteral("Disconnected."), QStringLiteral("Disconnected")), K::Reserved);
    EXPECT_EQ(ClassOf(QStringLiteral("Connectedness"), QStringLiteral("Connectedness")), K::Text);
    EXPECT_EQ(ClassOf(QStringLiteral("connected"), QStringLiteral("connected")), K::Text);
}

TEST(LogSyntax, WebAndMailAddresses)
{
    const QString line = QStringLiteral("see https://example.org/a?b=1 or www.example.com, mail ftp@example.co.jp now");
    EXPECT_EQ(ClassOf(line, QStringLiteral("https://example.org/a?b=1")), K::Url);
    EXPECT_EQ(ClassOf(line, QStringLiteral("www.example.com,")), K::Url);
    EXPECT_EQ(ClassOf(line, QStringLiteral("ftp@example.co.jp")), K::Mail);
    EXPECT_EQ(ClassOf(line, QStringLiteral(" now")), K::Text);
    EXPECT_EQ(ClassOf(QStringLiteral("a@b"), QStringLiteral("a@b")), K::Text);
}

}
