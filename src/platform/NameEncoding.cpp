#include "platform/NameEncoding.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iconv.h>

namespace {

// The character set names glibc's iconv knows the encodings by. Shift_JIS is read as CP932,
// the superset with the NEC and IBM extensions that Japanese servers actually send.
const char* CharsetOf(TNameEncoding encoding)
{
    switch (encoding) {
    case TNameEncoding::ShiftJis:
        return "CP932";
    case TNameEncoding::EucJp:
        return "EUC-JP";
    default:
        return "UTF-8";
    }
}

// One iconv descriptor per thread, encoding and direction: opening one costs far more than
// converting a name.
class TConverter {
public:
    TConverter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("no conversion from ") + from + " to " + to);
    }
    ~TConverter() { iconv_close(cd_); }
    TConverter(const TConverter&) = delete;
    TConverter& operator=(const TConverter&) = delete;

    // Converts as much as it can; `in` and `out` are advanced past what was done. Returns 0, or
    // the errno that stopped it (EILSEQ, EINVAL for a cut-off sequence, E2BIG).
    int Convert(const char*& in, size_t& inLeft, char*& out, size_t& outLeft)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* input = const_cast<char*>(in);
        const size_t result = iconv(cd_, &input, &inLeft, &out, &outLeft);
        in = input;
        return result == size_t(-1) ? errno : 0;
    }

private:
    iconv_t cd_;
};

TConverter& Decoder(TNameEncoding encoding)
{
    thread_local TConverter shiftJis("UTF-8", CharsetOf(TNameEncoding::ShiftJis));
    thread_local TConverter eucJp("UTF-8", CharsetOf(TNameEncoding::EucJp));
    return encoding == TNameEncoding::EucJp ? eucJp : shiftJis;
}

TConverter& Encoder(TNameEncoding encoding)
{
    thread_local TConverter shiftJis(CharsetOf(TNameEncoding::ShiftJis), "UTF-8");
    thread_local TConverter eucJp(CharsetOf(TNameEncoding::EucJp), "UTF-8");
    return encoding == TNameEncoding::EucJp ? eucJp : shiftJis;
}

bool IsAscii(std::string_view bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

void AppendEscape(std::string& out, unsigned char byte, TUndecodable undecodable)
{
    char text[5];
    std::snprintf(text, sizeof text, undecodable == TUndecodable::Percent ? "%%%02X" : "\\x%02x", byte);
    out += text;
}

// The bytes one character takes in the encoding, by its first byte (at least one, at most
// what is left).
size_t CharacterLength(TNameEncoding encoding, std::string_view bytes)
{
    const unsigned lead = static_cast<unsigned char>(bytes[0]);
    size_t length = 1;
    if (encoding == TNameEncoding::ShiftJis)
        length = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
    else if (encoding == TNameEncoding::EucJp)
        length = lead == 0x8F ? 3 : lead >= 0x8E ? 2 : 1;
    return std::min(length, bytes.size());
}

// Codes that share their character with another code (CP932's NEC and IBM extensions, the
// JIS X 0212 plane of EUC-JP): a name holding one must be checked to encode back to itself.
bool MayShareCharacter(TNameEncoding encoding, std::string_view bytes)
{
    for (const char c : bytes) {
        const unsigned byte = static_cast<unsigned char>(c);
        if (encoding == TNameEncoding::ShiftJis ? byte == 0x87 || byte == 0xED || byte == 0xEE || byte >= 0xFA
                                                : byte == 0x8F)
            return true;
    }
    return false;
}

// The whole name through the converter; nullopt when any byte does not decode.
std::optional<std::string> Convert(TNameEncoding encoding, std::string_view bytes)
{
    std::string out(bytes.size() * 3 + 4, '\0');
    const char* in = bytes.data();
    size_t inLeft = bytes.size();
    char* output = out.data();
    size_t outLeft = out.size();
    if (Decoder(encoding).Convert(in, inLeft, output, outLeft) != 0)
        return std::nullopt;
    out.resize(size_t(output - out.data()));
    return out;
}

// A decoding that the same bytes come back from: where two codes share a character only one
// of them can be shown as that character, or two names would show alike.
std::optional<std::string> ConvertExactly(TNameEncoding encoding, std::string_view bytes)
{
    std::optional<std::string> text = Convert(encoding, bytes);
    if (text && MayShareCharacter(encoding, bytes) && TryEncodeName(encoding, *text) != bytes)
        return std::nullopt;
    return text;
}

// Decodes character by character, escaping each byte that does not start a character that
// decodes exactly; with escapePercent a literal "%" is escaped as well. True when nothing
// needed an escape.
bool DecodeEscaping(TNameEncoding encoding, std::string_view bytes, TUndecodable undecodable, bool escapePercent,
                    std::string& out)
{
    bool clean = true;
    out.clear();
    while (!bytes.empty()) {
        const auto lead = static_cast<unsigned char>(bytes[0]);
        if (lead < 0x80) {
            if (lead == '%' && escapePercent)
                out += "%25";
            else
                out += bytes[0];
            bytes.remove_prefix(1);
            continue;
        }
        const size_t length = encoding == TNameEncoding::Utf8 ? Utf8SequenceLength(bytes)
                                                               : CharacterLength(encoding, bytes);
        std::optional<std::string> character;
        if (encoding == TNameEncoding::Utf8 && length > 0)
            character = std::string(bytes.substr(0, length));
        else if (encoding != TNameEncoding::Utf8)
            character = ConvertExactly(encoding, bytes.substr(0, length));
        if (character) {
            out += *character;
            bytes.remove_prefix(length);
        } else {
            AppendEscape(out, lead, undecodable);
            bytes.remove_prefix(1);
            clean = false;
        }
    }
    return clean;
}

}  // namespace

std::optional<TNameEncoding> NameEncodingFromKey(std::string_view key)
{
    std::string upper(key);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    for (const TNameEncoding encoding :
         {TNameEncoding::Auto, TNameEncoding::Utf8, TNameEncoding::ShiftJis, TNameEncoding::EucJp})
        if (upper == NameEncodingKey(encoding))
            return encoding;
    return std::nullopt;
}

std::string_view NameEncodingKey(TNameEncoding encoding)
{
    switch (encoding) {
    case TNameEncoding::Utf8:
        return "UTF-8";
    case TNameEncoding::ShiftJis:
        return "SHIFT_JIS";
    case TNameEncoding::EucJp:
        return "EUC-JP";
    default:
        return "AUTO";
    }
}

std::string_view NameEncodingTitle(TNameEncoding encoding)
{
    switch (encoding) {
    case TNameEncoding::Utf8:
        return "UTF-8";
    case TNameEncoding::ShiftJis:
        return "Shift_JIS";
    case TNameEncoding::EucJp:
        return "EUC-JP";
    default:
        return "Auto";
    }
}

std::string DecodeName(TNameEncoding encoding, std::string_view bytes, TUndecodable undecodable)
{
    if (IsAscii(bytes))
        return std::string(bytes);
    if (encoding == TNameEncoding::Utf8 && IsUtf8(bytes))
        return std::string(bytes);
    if (encoding != TNameEncoding::Utf8)
        if (std::optional<std::string> text = ConvertExactly(encoding, bytes))
            return *text;
    std::string out;
    if (!DecodeEscaping(encoding, bytes, undecodable, false, out) && undecodable == TUndecodable::Percent)
        DecodeEscaping(encoding, bytes, undecodable, true, out);
    return out;
}

bool IsDecodable(TNameEncoding encoding, std::string_view bytes)
{
    if (IsAscii(bytes))
        return true;
    if (encoding == TNameEncoding::Utf8)
        return IsUtf8(bytes);
    return Convert(encoding, bytes).has_value();
}

ENameNotEncodable::ENameNotEncodable(std::string name, std::string character, TNameEncoding encoding)
    : std::runtime_error("the name \"" + name + "\" cannot be sent: " + std::string(NameEncodingTitle(encoding)) +
                         " has no character \"" + character + "\""),
      character_(std::move(character)), encoding_(encoding)
{
}

char32_t ENameNotEncodable::CodePoint() const
{
    return Utf8CodePoint(character_);
}

std::optional<std::string> TryEncodeName(TNameEncoding encoding, std::string_view text)
{
    try {
        return EncodeName(encoding, text);
    } catch (const ENameNotEncodable&) {
        return std::nullopt;
    }
}

std::string EncodeName(TNameEncoding encoding, std::string_view text)
{
    if (IsAscii(text))
        return std::string(text);
    if (encoding == TNameEncoding::Utf8 || encoding == TNameEncoding::Auto) {
        if (!IsUtf8(text))
            throw ENameNotEncodable(std::string(text), "?", TNameEncoding::Utf8);
        return std::string(text);
    }
    // A character of these encodings takes at most three bytes, at most half again its UTF-8.
    std::string out(text.size() * 2 + 4, '\0');
    const char* in = text.data();
    size_t inLeft = text.size();
    char* output = out.data();
    size_t outLeft = out.size();
    if (Encoder(encoding).Convert(in, inLeft, output, outLeft) != 0) {
        const std::string_view rest = text.substr(size_t(in - text.data()));
        const size_t length = Utf8SequenceLength(rest);
        throw ENameNotEncodable(std::string(text), std::string(rest.substr(0, length == 0 ? 1 : length)), encoding);
    }
    out.resize(size_t(output - out.data()));
    return out;
}
