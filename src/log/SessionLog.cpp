#include "log/SessionLog.h"

#include "log/Editor.h"
#include "ftp/IdPasswordMask.h"

#include <algorithm>

namespace {

bool IsBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

QStringView TrimLogText(QStringView text)
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
    const QStringView line = TrimLogText(text);
    if (line.isEmpty())
        return;
    pane_->AppendLine(line.toString());
    const int limit = std::max(0, maxLog_());
    while (pane_->LineCount() > limit)
        pane_->DeleteFirstLine();
    pane_->FollowEnd();
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

void TSessionLog::LogDialogue(int connection, bool sent, const std::string& data)
{
    const std::string shown = sent ? MaskSentData(data) : data;
    LogChunk(QStringLiteral("[%1] %2").arg(connection).arg(sent ? QStringLiteral("<< ") : QStringLiteral(">> ")),
             QString::fromUtf8(shown.data(), qsizetype(shown.size())));
}

void TSessionLog::LogChunk(const QString& mark, const QString& data)
{
    // CR LF, CR and LF each end a line; a transfer logs several chunks per file, so no
    // regular expression here.
    qsizetype begin = 0;
    while (begin <= data.size()) {
        qsizetype end = begin;
        while (end < data.size() && data[end] != u'\r' && data[end] != u'\n')
            ++end;
        const QStringView line = QStringView(data).mid(begin, end - begin);
        if (!TrimLogText(line).isEmpty())
            AppendLogLine(mark + line.toString());
        if (end + 1 < data.size() && data[end] == u'\r' && data[end + 1] == u'\n')
            ++end;
        begin = end + 1;
    }
}
