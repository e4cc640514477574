#include "panes/LocalFileRow.h"

#include "panes/FileKinds.h"

#include <QDateTime>
#include <QLocale>

namespace {

// The first character of a format that is neither a letter nor a quote: its separator.
QChar SeparatorOf(const QString& format, QChar fallback) {
    for (QChar c : format)
        if (!c.isLetter() && c != u'\'' && !c.isSpace()) return c;
    return fallback;
}

}  // namespace

QString FileDateText(std::time_t time) {
    static const QString pattern = [] {
        const QLocale locale = QLocale::system();
        const QChar date = SeparatorOf(locale.dateFormat(QLocale::ShortFormat), u'/');
        const QChar clock = SeparatorOf(locale.timeFormat(QLocale::ShortFormat), u':');
        return QStringLiteral("yyyy%1MM%1dd hh%2mm").arg(date, clock);
    }();
    return QDateTime::fromSecsSinceEpoch(qint64(time)).toString(pattern);
}

TFileRow LocalFileRow(const DirectoryEntry& entry, const QStringList& imageExtensions,
                      const QStringList& textExtensions) {
    TFileRow row;
    row.caption = QString::fromStdString(entry.name);
    row.subItems = {QString::number(entry.size), FileDateText(entry.modified), AttributeText(entry.attributes),
                    entry.IsDirectory() ? QStringLiteral("0") : QStringLiteral("1")};
    row.icon = FileIconFor(row.caption, entry.IsDirectory(), imageExtensions, textExtensions);
    return row;
}
