#pragma once
#include <QDateTime>
#include <QLocale>
#include <QByteArray>
#include <QList>
#include <QString>
#include <chrono>
#include <functional>

// The dated log of completed file operations, "FileOperationLog.txt" in the program directory.
// Writing reads the whole file, appends the new lines, drops the oldest lines beyond the limit
// and replaces the file; lines end in CR LF. A line that follows the last write closely (a
// folder transfer writes one per file) waits for the next write or for Flush, so a burst
// costs a few rewrites instead of one per line.
class TFileOperationLog {
public:
    // maxFileLog reads the current line limit (option iMaxFileLog); negative counts as 0.
    TFileOperationLog(QString appDir, std::function<int()> maxFileLog);
    // Writes what is still waiting; a failure then is dropped.
    ~TFileOperationLog();
    TFileOperationLog(const TFileOperationLog&) = delete;
    TFileOperationLog& operator=(const TFileOperationLog&) = delete;

    QString Path() const;

    // Joins the four texts (an empty one still keeps its separating space) behind the current
    // date and time. Throws std::runtime_error when the file cannot be written.
    void AppendFileOperationLog(const QString& operation, const QString& first, const QString& direction,
                                const QString& second);
    // Writes the lines still waiting. Throws std::runtime_error when the file cannot be written;
    // those lines are then dropped, as a line is whose own write fails.
    void Flush();
    // Flush, once GatheringSpacing has passed since the last write: for the idle moments
    // between the files of a command that is still running.
    void FlushWhenDue();

    // How long after a write further lines wait.
    static constexpr std::chrono::milliseconds GatheringSpacing{250};

private:
    QString appDir_;
    std::function<int()> maxFileLog_;
    QList<QByteArray> waiting_;
    std::chrono::steady_clock::time_point lastWrite_{};
    // The system locale, looked up once, and the last time stamp's text: a folder transfer
    // writes many lines per second.
    const QLocale locale_ = QLocale::system();
    QDate stampDate_;
    QTime stampTime_;
    QString stampText_;
};

// AppDir/FileOperationLog.txt, also what the viewer command opens.
QString FileOperationLogPath(const QString& appDir);

// Date in the locale's short format and time in its long format, one space apart; the time is
// left out at exactly midnight.
QString FormatLogDateTime(const QLocale& locale, QDate date, QTime time);
