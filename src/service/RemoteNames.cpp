#include "service/RemoteNames.h"

#include "platform/NameCodec.h"

QString ShownName(const TNameCodec& codec, std::string_view bytes)
{
    const std::string text = codec.Decode(bytes);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString ShownName(const TNameCodec& codec, const QByteArray& bytes)
{
    return ShownName(codec, std::string_view(bytes.constData(), size_t(bytes.size())));
}

void ThrowUnsendable(const QString& shown, const ENameNotEncodable& error)
{
    const QString codePoint = QString::number(uint(error.CodePoint()), 16).toUpper().rightJustified(4, u'0');
    throw EUnsendableName(QStringLiteral("「%1」の文字「%2」(U+%3) は %4 で表せないため、この名前はサーバーに送れません")
                              .arg(shown, QString::fromStdString(error.Character()), codePoint,
                                   QString::fromLatin1(NameEncodingTitle(error.Encoding())))
                              .toStdString());
}

std::string ServerName(const TNameCodec& codec, const QString& shown)
{
    try {
        return codec.ServerName(shown.toStdString());
    } catch (const ENameNotEncodable& error) {
        ThrowUnsendable(shown, error);
    }
}

QByteArray ServerBytes(const TNameCodec& codec, const QString& shown)
{
    return QByteArray::fromStdString(ServerName(codec, shown));
}
