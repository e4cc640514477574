#pragma once
#include <QString>
#include <QStringList>

#include <ostream>

// Readable QString and QStringList values in GoogleTest failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& items, std::ostream* out)
{
    *out << '{';
    for (qsizetype i = 0; i < items.size(); ++i)
        *out << (i ? ", \"" : "\"") << items[i].toStdString() << '"';
    *out << '}';
}
