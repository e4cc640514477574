#pragma once
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// The encodings file names come in from servers. Auto is a profile's choice only: the
// connection reads the encoding off its listings.
enum class TNameEncoding { Auto, Utf8, ShiftJis, EucJp };

// The stored forms "AUTO", "UTF-8", "SHIFT_JIS", "EUC-JP", letter case aside; nullopt for any
// other text.
std::optional<TNameEncoding> NameEncodingFromKey(std::string_view key);
std::string_view NameEncodingKey(TNameEncoding encoding);
// The name users know the encoding by: "UTF-8", "Shift_JIS", "EUC-JP" ("Auto" for Auto).
std::string_view NameEncodingTitle(TNameEncoding encoding);

// How bytes that the encoding cannot read are written in a decoded name.
enum class TUndecodable {
    // "%XX", and a literal "%" then "%25": such a name can be told from any decoded one and
    // turned back into its bytes.
    Percent,
    // "\xNN", for a terminal.
    Backslash,
};

// The name's bytes as UTF-8. Undecodable bytes are escaped, so two different byte strings
// never decode to one text.
std::string DecodeName(TNameEncoding encoding, std::string_view bytes,
                       TUndecodable undecodable = TUndecodable::Percent);
// Whether every byte of the name reads as a character of the encoding.
bool IsDecodable(TNameEncoding encoding, std::string_view bytes);

// A name that the encoding has no bytes for.
class ENameNotEncodable : public std::runtime_error {
public:
    ENameNotEncodable(std::string name, std::string character, TNameEncoding encoding);
    // The first character that cannot be encoded, as UTF-8.
    const std::string& Character() const { return character_; }
    char32_t CodePoint() const;
    TNameEncoding Encoding() const { return encoding_; }

private:
    std::string character_;
    TNameEncoding encoding_;
};

// UTF-8 text in the encoding; raises ENameNotEncodable naming the first character it lacks.
std::string EncodeName(TNameEncoding encoding, std::string_view text);
std::optional<std::string> TryEncodeName(TNameEncoding encoding, std::string_view text);
