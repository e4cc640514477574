#include "log/SessionLog.h"

#include "log/Editor.h"
#include "ftp/IdPasswordMask.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

bool IsBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

QString TrimLogText(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

}

TSessionLog::TSessionLog(TEditor* pane, std::function<int()> maxLog) : pane_(pane), maxLog_(std::move(maxLog)) {}

void TSessionLog::AppendLogLine(const QString& text)
{
    if (!pane_)
        return;
    QString line = TrimLogText(text);
    if (line.isEmpty())
        return;
    pane_->AppendLine(std::move(line));
    const int limit = std::max(0, maxLog_());
    while (pane_->LineCount() > limit)
        pane_->DeleteFirstLine();
    pane_->CaretToEnd();
    pane_->ScrollCaretIntoView();
}

void TSessionLog::AddLineDirect(const QString& text)
{
    if (pane_)
        pane_->AppendLine(text);
}

void TSessionLog::LogReceived(const std::string& data)
{
    LogChunk(QStringLiteral(">> "), QString::fromUtf8(data.data(), qsizetype(data.size())));
}

void TSessionLog::LogSent(const std::string& data)
{
    const std::string masked = MaskSentData(data);
    LogChunk(QStringLiteral("<< "), QString::fromUtf8(masked.data(), qsizetype(masked.size())));
}

void TSessionLog::LogChunk(const QString& mark, const QString& data)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = data.split(lineBreak);
    for (const QString& line : lines)
        if (!TrimLogText(line).isEmpty())
            AppendLogLine(mark + line);
}
