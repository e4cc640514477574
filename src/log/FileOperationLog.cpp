#include "log/FileOperationLog.h"

#include "platform/AtomicFile.h"
#include "platform/DateTime.h"
#include "platform/ProgramDir.h"

#include <QFile>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {

// The lines of the file (LF or CR LF), empty when it does not exist.
QList<QByteArray> LoadLogLines(const QString& path)
{
    QList<QByteArray> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.pop_back();
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

// The whole file replaced at once, so a reader never sees half of it. It is rewritten often
// during a folder transfer, so it is not flushed to disk each time: a crash may cost the last
// lines, never the file.
void SaveLogLines(const std::string& path, const QList<QByteArray>& lines)
{
    std::string text;
    for (const QByteArray& line : lines)
        text.append(line.constData(), size_t(line.size())).append("\r\n");
    ReplaceFileContents(path, text, 0644, TReplaceDurability::Unsynced);
}

}

QString FormatLogDateTime(const QLocale& locale, QDate date, QTime time)
{
    QString text = locale.toString(date, QLocale::ShortFormat);
    if (time != QTime(0, 0))
        text += u' ' + locale.toString(time, QLocale::LongFormat);
    return text;
}

TFileOperationLog::TFileOperationLog(QString appDir, std::function<int()> maxFileLog)
    : appDir_(std::move(appDir)), maxFileLog_(std::move(maxFileLog))
{
}

QString FileOperationLogPath(const QString& appDir)
{
    return QString::fromStdString(ProgramFilePath(appDir.toStdString(), ProgramFile::FileOperationLog));
}

QString TFileOperationLog::Path() const
{
    return FileOperationLogPath(appDir_);
}

TFileOperationLog::~TFileOperationLog()
{
    try {
        Flush();
    } catch (const std::exception&) {
    }
}

void TFileOperationLog::AppendFileOperationLog(const QString& operation, const QString& first,
                                               const QString& direction, const QString& second)
{
    const TDateParts now = LocalNow();
    const QDate date(now.year, now.month, now.day);
    const QTime time(now.hour, now.minute, now.second);
    if (date != stampDate_ || time != stampTime_) {
        stampDate_ = date;
        stampTime_ = time;
        stampText_ = FormatLogDateTime(locale_, date, time);
    }
    const QString line = stampText_ + u' ' + operation + u' ' + first + u' ' +
                         direction + u' ' + second;
    waiting_.append(line.toUtf8());
    FlushWhenDue();
}

void TFileOperationLog::FlushWhenDue()
{
    if (std::chrono::steady_clock::now() - lastWrite_ >= GatheringSpacing)
        Flush();
}

void TFileOperationLog::Flush()
{
    if (waiting_.isEmpty())
        return;
    const QList<QByteArray> added = std::exchange(waiting_, {});
    lastWrite_ = std::chrono::steady_clock::now();
    const QString path = Path();
    // Two running copies append to one file.
    const TFileWriteLock lock(QFile::encodeName(path).toStdString());
    QList<QByteArray> lines = LoadLogLines(path);
    lines.append(added);
    const qsizetype limit = std::max(0, maxFileLog_());
    if (lines.size() > limit)
        lines.remove(0, lines.size() - limit);
    SaveLogLines(QFile::encodeName(path).toStdString(), lines);
}
