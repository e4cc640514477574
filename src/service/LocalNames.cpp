#include "service/LocalNames.h"

bool UnsafeLocalName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return true;
    for (const QChar c : name)
        if (c == u'/' || c.category() == QChar::Other_Control)
            return true;
    return false;
}

QString UnsafeNameSkippedLine(const QString& name)
{
    QString shown;
    for (const QChar c : name)
        shown += c.category() == QChar::Other_Control
                     ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                     : QString(c);
    return QStringLiteral("ローカルでは使えない名前のため飛ばしました: ") + shown;
}
