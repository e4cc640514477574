#pragma once
#include <QDateTime>
#include <QString>
#include <functional>

// The dated log of completed file operations, "FileOperationLog.txt" in the program directory.
// Every entry reads the whole file, appends one line, drops the oldest lines beyond the limit
// and rewrites it; lines end in CR LF.
class TFileOperationLog {
public:
    // maxFileLog reads the current line limit (option iMaxFileLog); negative counts as 0.
    TFileOperationLog(QString appDir, std::function<int()> maxFileLog);

    QString Path() const;

    // Joins the four texts (an empty one still keeps its separating space) behind the current
    // date and time. Throws std::runtime_error when the file cannot be written.
    void AppendFileOperationLog(const QString& operation, const QString& first, const QString& direction,
                                const QString& second) const;

private:
    QString appDir_;
    std::function<int()> maxFileLog_;
};

// AppDir/FileOperationLog.txt, also what the viewer command opens.
QString FileOperationLogPath(const QString& appDir);

// Date in the system's short format and time in its long format, one space apart; the time
// is left out at exactly midnight.
QString FormatLogDateTime(const QDateTime& when);
