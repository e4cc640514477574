#include "log/LogSyntax.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using K = TLogTokenClass;

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
    const QString received = QStringLiteral(">> 227 Entering Passive Mode (127,0,0,1,4,1) \"/pub\" Connected");
    EXPECT_EQ(ClassifyLogLine(received), (std::vector<TLogSpan>{{0, int(received.size()), K::Comment}}));
}

// Each part of a line is one class from its first to its last character.
TEST(LogSyntax, EachTokenNeedsItsBoundaries)
{
    const struct {
        const char* line;
        const char* part;
        K kind;
    } cases[] = {
        {"<< SITE CHMOD 644 \"my file.txt\" >> 34", "644", K::Number},
        {"<< SITE CHMOD 644 \"my file.txt\" >> 34", "\"my file.txt\"", K::String},
        {"<< SITE CHMOD 644 \"my file.txt\" >> 34", ">> 34", K::Comment},  // the marker starts a comment anywhere
        {"say \"hello 5", "\"hello", K::Text},  // a lone quote
        {"Connected.", "Connected", K::Reserved},
        {"Connectedness", "Connectedness", K::Text},
        {"see https://example.org/a?b=1 or", "https://example.org/a?b=1", K::Url},
        {"mail ftp@example.co.jp now", "ftp@example.co.jp", K::Mail},
    };
    for (const auto& [text, partText, kind] : cases) {
        const QString line = QString::fromUtf8(text);
        const QString part = QString::fromUtf8(partText);
        const qsizetype at = line.indexOf(part);
        ASSERT_GE(at, 0) << partText;
        std::vector<K> classes(line.size(), K::Text);
        for (const TLogSpan& span : ClassifyLogLine(line))
            std::fill_n(classes.begin() + span.start, span.length, span.kind);
        for (qsizetype i = at; i < at + part.size(); ++i)
            EXPECT_EQ(classes[i], kind) << text << " at " << i;
    }
}

}
