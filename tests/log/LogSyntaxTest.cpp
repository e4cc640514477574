#include "log/LogSyntax.h"

#include <gtest/gtest.h>

// The spans cover the line in order without gaps, and each token is one class from its first to
// its last character.
TEST(LogSyntax, SpansCoverTheLineAndEachTokenHasItsClass)
{
    using K = TLogTokenClass;
    const QString line =
        QStringLiteral("Connected. << SITE 644 \"my file\" https://a.org/b?c=1 me@host.org \"lone >> 227 (1,2) x");
    std::vector<K> classes;
    for (const TLogSpan& span : ClassifyLogLine(line)) {
        EXPECT_EQ(span.start, int(classes.size()));
        EXPECT_GT(span.length, 0);
        classes.insert(classes.end(), span.length, span.kind);
    }
    ASSERT_EQ(classes.size(), size_t(line.size()));
    const std::pair<const char*, K> tokens[] = {
        {"Connected", K::Reserved},     {"644", K::Number},  {"\"my file\"", K::String},
        {"https://a.org/b?c=1", K::Url}, {"me@host.org", K::Mail}, {"\"lone", K::Text},
        {">> 227 (1,2) x", K::Comment},
    };
    for (const auto& [token, kind] : tokens) {
        const QString part = QString::fromUtf8(token);
        for (qsizetype i = line.indexOf(part); i < line.indexOf(part) + part.size(); ++i)
            EXPECT_EQ(classes[size_t(i)], kind) << token << " at " << i;
    }
    EXPECT_TRUE(ClassifyLogLine(QString()).empty());
}
