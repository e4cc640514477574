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

TLocalRowFactory::TLocalRowFactory(QStringList imageExtensions, QStringList textExtensions)
    : imageExtensions_(std::move(imageExtensions)), textExtensions_(std::move(textExtensions)) {}

TFileRow TLocalRowFactory::Row(const DirectoryEntry& entry) {
    // The date text shows minutes, so every time of one minute has the same text.
    const qint64 minute = qint64(entry.modified) - ((qint64(entry.modified) % 60) + 60) % 60;
    auto date = dates_.constFind(minute);
    if (date == dates_.constEnd()) date = dates_.insert(minute, FileDateText(std::time_t(minute)));
    auto attributes = attributes_.constFind(entry.attributes);
    if (attributes == attributes_.constEnd())
        attributes = attributes_.insert(entry.attributes, AttributeText(entry.attributes));
    TFileRow row;
    row.caption = QString::fromStdString(entry.name);
    row.subItems = {QString::number(entry.size), *date, *attributes,
                    entry.IsDirectory() ? QStringLiteral("0") : QStringLiteral("1")};
    row.icon = FileIconFor(row.caption, entry.IsDirectory(), imageExtensions_, textExtensions_);
    return row;
}
