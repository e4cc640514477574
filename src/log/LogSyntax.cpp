#include "log/LogSyntax.h"

#include <QRegularExpression>

namespace {

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool IsUrlEnd(QChar c)
{
    return c.isSpace() || c.unicode() < 0x20 || c == u'"' || c == u'<' || c == u'>';
}

// Length of a web address starting at pos, or 0.
int MatchUrl(const QString& line, int pos)
{
    static const QLatin1StringView prefixes[] = {QLatin1StringView("http://"), QLatin1StringView("https://"),
                                                 QLatin1StringView("ftp://"), QLatin1StringView("www.")};
    for (QLatin1StringView prefix : prefixes) {
        if (QStringView(line).mid(pos).startsWith(prefix, Qt::CaseInsensitive)) {
            int end = pos + int(prefix.size());
            while (end < line.size() && !IsUrlEnd(line[end]))
                ++end;
            if (end > pos + prefix.size())
                return end - pos;
        }
    }
    return 0;
}

// Length of a mail address starting at pos, or 0.
int MatchMail(const QString& line, int pos)
{
    static const QRegularExpression mail(
        QStringLiteral("[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(\\.[A-Za-z0-9-]+)*\\.[A-Za-z]{2,}"));
    const QRegularExpressionMatch match =
        mail.match(line, pos, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    return match.hasMatch() ? int(match.capturedLength()) : 0;
}

class TSpanBuilder {
public:
    void Add(int start, int length, TLogTokenClass kind)
    {
        if (!spans_.empty() && spans_.back().kind == kind && kind == TLogTokenClass::Text)
            spans_.back().length += length;
        else
            spans_.push_back({start, length, kind});
    }
    std::vector<TLogSpan> Take() { return std::move(spans_); }

private:
    std::vector<TLogSpan> spans_;
};

}

std::vector<TLogSpan> ClassifyLogLine(const QString& line)
{
    TSpanBuilder spans;
    const int size = int(line.size());
    int pos = 0;
    while (pos < size) {
        const QChar c = line[pos];
        const bool wordStart = pos == 0 || !IsWordChar(line[pos - 1]);
        if (c == u'>' && pos + 1 < size && line[pos + 1] == u'>') {
            spans.Add(pos, size - pos, TLogTokenClass::Comment);
            break;
        }
        if (c == u'"') {
            const int close = int(line.indexOf(u'"', pos + 1));
            if (close > 0) {
                spans.Add(pos, close + 1 - pos, TLogTokenClass::String);
                pos = close + 1;
                continue;
            }
        }
        if (wordStart) {
            if (const int length = MatchUrl(line, pos)) {
                spans.Add(pos, length, TLogTokenClass::Url);
                pos += length;
                continue;
            }
            if (const int length = MatchMail(line, pos)) {
                spans.Add(pos, length, TLogTokenClass::Mail);
                pos += length;
                continue;
            }
        }
        if (c.isDigit()) {
            int end = pos;
            while (end < size && line[end].isDigit())
                ++end;
            spans.Add(pos, end - pos, TLogTokenClass::Number);
            pos = end;
            continue;
        }
        if (c.isLetter() || c == u'_') {
            int end = pos;
            while (end < size && IsWordChar(line[end]))
                ++end;
            const QStringView word = QStringView(line).mid(pos, end - pos);
            const bool reserved = wordStart && (word == u"Connected" || word == u"Disconnected");
            spans.Add(pos, end - pos, reserved ? TLogTokenClass::Reserved : TLogTokenClass::Text);
            pos = end;
            continue;
        }
        spans.Add(pos, 1, TLogTokenClass::Text);
        ++pos;
    }
    return spans.Take();
}
