#include "panes/PaneTime.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// The first character of a format that is neither a letter nor a quote: its separator.
QChar SeparatorOf(const QString& format, QChar fallback)
{
    for (QChar c : format)
        if (!c.isLetter() && c != u'\'' && !c.isSpace())
            return c;
    return fallback;
}

}  // namespace

const QString& RemoteDateFormat()
{
    static const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    return format;
}

const QString& RemoteTimeFormat()
{
    // Listed times carry no zone.
    static const QString format = [] {
        QString time = QLocale::system().timeFormat(QLocale::LongFormat);
        time.remove(QRegularExpression(QStringLiteral("\\s*t+")));
        return time.trimmed();
    }();
    return format;
}

const QString& LocalTimePattern()
{
    static const QString pattern = [] {
        const QLocale locale = QLocale::system();
        const QChar date = SeparatorOf(locale.dateFormat(QLocale::ShortFormat), u'/');
        const QChar clock = SeparatorOf(locale.timeFormat(QLocale::ShortFormat), u':');
        return QStringLiteral("yyyy%1MM%1dd hh%2mm").arg(date, clock);
    }();
    return pattern;
}
