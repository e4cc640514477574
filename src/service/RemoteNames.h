#pragma once
#include <QByteArray>
#include <QString>

#include <stdexcept>
#include <string>
#include <string_view>

class ENameNotEncodable;
class TNameCodec;

// Server names as the window shows them, and back: every view of a remote name (lists, tree,
// directory box, logs, dialogs, local file names) goes through the connection's codec.
QString ShownName(const TNameCodec& codec, std::string_view bytes);
QString ShownName(const TNameCodec& codec, const QByteArray& bytes);

// A name the user typed, or a local file's name, refused before anything is sent because the
// connection's encoding has no bytes for one of its characters.
class EUnsendableName : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The codec's refusal of a name as the window words it.
[[noreturn]] void ThrowUnsendable(const QString& shown, const ENameNotEncodable& error);

// The server's bytes for a shown, typed or local name; raises EUnsendableName, naming the
// character, when the encoding lacks one.
QByteArray ServerBytes(const TNameCodec& codec, const QString& shown);
std::string ServerName(const TNameCodec& codec, const QString& shown);
