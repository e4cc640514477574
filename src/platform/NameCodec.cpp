#include "platform/NameCodec.h"

#include "platform/NameDetection.h"

#include <algorithm>

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The bytes of a name with "%XX" escapes, the text between them encoded; nullopt when it
// holds no escape or a character the encoding lacks.
std::optional<std::string> Unescaped(TNameEncoding encoding, std::string_view shown)
{
    std::string bytes;
    bool escaped = false;
    size_t textStart = 0;
    const auto flushText = [&](size_t end) {
        std::optional<std::string> text = TryEncodeName(encoding, shown.substr(textStart, end - textStart));
        if (text)
            bytes += *text;
        return text.has_value();
    };
    for (size_t at = 0; at + 2 < shown.size(); ++at) {
        if (shown[at] != '%')
            continue;
        const int high = HexValue(shown[at + 1]), low = HexValue(shown[at + 2]);
        if (high < 0 || low < 0)
            continue;
        if (!flushText(at))
            return std::nullopt;
        bytes += char(high * 16 + low);
        escaped = true;
        at += 2;
        textStart = at + 1;
    }
    if (!escaped || !flushText(shown.size()))
        return std::nullopt;
    return bytes;
}

}  // namespace

void TNameCodec::SetChoice(TNameEncoding choice)
{
    choice_ = choice;
    Restart();
}

void TNameCodec::Restart()
{
    current_ = choice_ == TNameEncoding::Auto ? TNameEncoding::Utf8 : choice_;
    settled_ = choice_ != TNameEncoding::Auto;
}

void TNameCodec::ServerUsesUtf8()
{
    if (choice_ != TNameEncoding::Auto)
        return;
    current_ = TNameEncoding::Utf8;
    settled_ = true;
}

void TNameCodec::Observe(const std::vector<std::string_view>& names)
{
    if (choice_ != TNameEncoding::Auto)
        return;
    const TNameEvidence evidence = WeighNames(names);
    switch (evidence.strength) {
    case TNameEvidence::TStrength::None:
        return;
    case TNameEvidence::TStrength::Decisive:
        current_ = evidence.best;
        settled_ = true;
        return;
    case TNameEvidence::TStrength::Weak:
        // What earlier listings decided stands while these names leave it possible.
        if (!settled_ || !evidence.Readable(current_)) {
            current_ = evidence.best;
            settled_ = false;
        }
        return;
    }
}

std::string TNameCodec::Decode(std::string_view bytes, TUndecodable undecodable) const
{
    return DecodeName(current_, bytes, undecodable);
}

std::string TNameCodec::ServerNameIn(TNameEncoding encoding, std::string_view shown) const
{
    if (shown.find('%') != std::string_view::npos) {
        // Only a name that decodes back to exactly what is shown came from escapes; "100%AB"
        // typed by a user stays text.
        if (std::optional<std::string> bytes = Unescaped(encoding, shown);
            bytes && DecodeName(encoding, *bytes) == shown)
            return *bytes;
    }
    return EncodeName(encoding, shown);
}

std::string TNameCodec::ServerName(std::string_view shown) const
{
    return ServerNameIn(current_, shown);
}

std::optional<std::string> TNameCodec::TryServerName(std::string_view shown) const
{
    try {
        return ServerName(shown);
    } catch (const ENameNotEncodable&) {
        return std::nullopt;
    }
}

std::vector<std::string> TNameCodec::ServerNameCandidates(std::string_view shown) const
{
    if (settled_)
        return {ServerName(shown)};
    std::vector<std::string> candidates;
    for (const TNameEncoding encoding : {current_, TNameEncoding::Utf8, TNameEncoding::ShiftJis, TNameEncoding::EucJp}) {
        try {
            std::string bytes = ServerNameIn(encoding, shown);
            if (std::find(candidates.begin(), candidates.end(), bytes) == candidates.end())
                candidates.push_back(std::move(bytes));
        } catch (const ENameNotEncodable&) {
        }
    }
    if (candidates.empty())
        ServerName(shown);  // raises the error of the encoding in use
    return candidates;
}
