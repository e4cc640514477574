#include "platform/NameDetection.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace {

constexpr std::array<TNameEncoding, 3> Encodings{TNameEncoding::Utf8, TNameEncoding::ShiftJis, TNameEncoding::EucJp};

size_t IndexOf(TNameEncoding encoding)
{
    return size_t(std::find(Encodings.begin(), Encodings.end(), encoding) - Encodings.begin());
}

// Scores per character, in points per byte of about four for a plausible two-byte character:
// a reading must not win by splitting the same bytes into more characters.
constexpr int Kana = 8;         // hiragana, katakana, the long vowel mark
constexpr int CommonKanji = 8;  // JIS level 1, or any ideograph in UTF-8
constexpr int RareKanji = 2;    // JIS level 2 and the vendor extensions
constexpr int WideLatin = 4;    // full-width letters and digits
constexpr int Foreign = -4;     // Greek, Cyrillic, box drawing, JIS X 0212
constexpr int PrivateUse = -12;
constexpr int HalfKana = 3;
// A voicing mark or a small vowel after a kana that takes it: half-width text shows itself
// by these, which other bytes seldom mimic.
constexpr int FittingMark = 8;
constexpr int Implausible = -8;

// One character of a reading: half-width katakana are kept apart, since how plausible they
// are depends on their neighbours.
struct TUnit {
    enum class TKind { Ascii, Wide, Half } kind;
    // Wide: its score. Half: its Shift_JIS byte (0xA1-0xDF).
    int value = 0;
};

using TUnits = std::vector<TUnit>;

bool TakesVoicingMark(int kana, int mark)
{
    const bool handakuten = mark == 0xDF;
    const bool haToHo = kana >= 0xCA && kana <= 0xCE;
    return handakuten ? haToHo : kana == 0xB3 || (kana >= 0xB6 && kana <= 0xC4) || haToHo;
}

// Small ya, yu, yo after a kana of the i row; small a, i, u, e, o after those that form
// sounds with them (fa, ti, we, she, che, kwa, tsa); either after a voicing mark.
bool TakesSmallVowel(int kana, int small)
{
    const auto among = [kana](std::initializer_list<int> codes) {
        return std::find(codes.begin(), codes.end(), kana) != codes.end();
    };
    if (kana == 0xDE || kana == 0xDF)
        return true;
    if (small >= 0xAC && small <= 0xAE)
        return among({0xB7, 0xBC, 0xC1, 0xC6, 0xCB, 0xD0, 0xD8});
    return among({0xB3, 0xB8, 0xBC, 0xC1, 0xC2, 0xC3, 0xC4, 0xCC});
}

int HalfKanaScore(const TUnits& units, size_t at)
{
    const auto kindAt = [&units](size_t index) {
        return index < units.size() ? units[index].kind : TUnit::TKind::Ascii;
    };
    const TUnit::TKind before = at > 0 ? kindAt(at - 1) : TUnit::TKind::Ascii;
    if (before == TUnit::TKind::Wide || kindAt(at + 1) == TUnit::TKind::Wide)
        return Implausible;
    const int code = units[at].value;
    const bool afterKana = before == TUnit::TKind::Half;
    if (code <= 0xA5)  // half-width punctuation
        return Implausible;
    const int previous = afterKana ? units[at - 1].value : 0;
    if (code == 0xDE || code == 0xDF)
        return afterKana && TakesVoicingMark(previous, code) ? FittingMark : Implausible;
    if (code >= 0xA7 && code <= 0xB0) {
        if (!afterKana)  // small kana and the long mark open no word
            return Foreign;
        if (code <= 0xAE && TakesSmallVowel(previous, code))
            return FittingMark;
    }
    return HalfKana;
}

int Score(const TUnits& units)
{
    int total = 0;
    for (size_t at = 0; at < units.size(); ++at) {
        if (units[at].kind == TUnit::TKind::Wide)
            total += units[at].value;
        else if (units[at].kind == TUnit::TKind::Half)
            total += HalfKanaScore(units, at);
    }
    return total;
}

int ShiftJisWideScore(unsigned lead, unsigned trail)
{
    if (lead == 0x81)
        return trail == 0x5B ? Kana : 0;
    if (lead == 0x82)
        return trail >= 0x9F ? Kana : WideLatin;
    if (lead == 0x83)
        return trail <= 0x96 ? Kana : Foreign;
    if (lead == 0x84)
        return Foreign;
    if (lead == 0x87)
        return 0;
    if ((lead >= 0x89 && lead <= 0x97) || (lead == 0x88 && trail >= 0x9F) || (lead == 0x98 && trail <= 0x72))
        return CommonKanji;
    if (lead >= 0xF0 && lead <= 0xF9)
        return PrivateUse;
    return RareKanji;
}

// The units of a Shift_JIS reading; nullopt when the bytes break its structure.
std::optional<TUnits> ShiftJisUnits(std::string_view name, TUnits units)
{
    for (size_t at = 0; at < name.size(); ++at) {
        const unsigned byte = static_cast<unsigned char>(name[at]);
        if (byte < 0x80) {
            units.push_back({TUnit::TKind::Ascii});
        } else if (byte >= 0xA1 && byte <= 0xDF) {
            units.push_back({TUnit::TKind::Half, int(byte)});
        } else if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
            if (at + 1 >= name.size())
                return std::nullopt;
            const unsigned trail = static_cast<unsigned char>(name[++at]);
            if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
                return std::nullopt;
            units.push_back({TUnit::TKind::Wide, ShiftJisWideScore(byte, trail)});
        } else {
            return std::nullopt;
        }
    }
    return units;
}

int EucWideScore(unsigned lead, unsigned trail)
{
    switch (lead) {
    case 0xA1:
        return trail == 0xBC ? Kana : 0;
    case 0xA2:
        return 0;
    case 0xA3:
        return WideLatin;
    case 0xA4:
    case 0xA5:
        return Kana;
    default:
        break;
    }
    if (lead < 0xB0)
        return Foreign;
    if (lead <= 0xCF)
        return CommonKanji;
    return lead <= 0xF4 ? RareKanji : PrivateUse;
}

std::optional<TUnits> EucJpUnits(std::string_view name, TUnits units)
{
    const auto inRow = [](unsigned byte) { return byte >= 0xA1 && byte <= 0xFE; };
    for (size_t at = 0; at < name.size(); ++at) {
        const unsigned byte = static_cast<unsigned char>(name[at]);
        if (byte < 0x80) {
            units.push_back({TUnit::TKind::Ascii});
            continue;
        }
        const size_t left = name.size() - at - 1;
        const auto next = [&name, &at]() { return unsigned(static_cast<unsigned char>(name[++at])); };
        if (byte == 0x8E) {
            const unsigned kana = left >= 1 ? next() : 0;
            if (kana < 0xA1 || kana > 0xDF)
                return std::nullopt;
            units.push_back({TUnit::TKind::Half, int(kana)});
        } else if (byte == 0x8F) {
            if (left < 2 || !inRow(next()) || !inRow(next()))
                return std::nullopt;
            units.push_back({TUnit::TKind::Wide, Foreign});
        } else if (inRow(byte)) {
            const unsigned trail = left >= 1 ? next() : 0;
            if (!inRow(trail))
                return std::nullopt;
            units.push_back({TUnit::TKind::Wide, EucWideScore(byte, trail)});
        } else {
            return std::nullopt;
        }
    }
    return units;
}

int Utf8WideScore(char32_t c)
{
    if ((c >= 0x3041 && c <= 0x30FF))
        return Kana;
    if (c >= 0x4E00 && c <= 0x9FFF)
        return CommonKanji;
    if ((c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF))
        return RareKanji;
    if (c >= 0xFF01 && c <= 0xFF5E)
        return WideLatin;
    if ((c >= 0xE000 && c <= 0xF8FF) || (c >= 0x80 && c <= 0x9F))
        return PrivateUse;
    // Phonetic letters, modifiers and combining marks, where Shift_JIS and EUC-JP bytes often
    // land, are rare in names; any other letter is a name from a server abroad.
    if (c >= 0x250 && c <= 0x36F)
        return RareKanji;
    return CommonKanji;
}

std::optional<TUnits> Utf8Units(std::string_view name, TUnits units)
{
    while (!name.empty()) {
        const size_t length = Utf8SequenceLength(name);
        if (length == 0)
            return std::nullopt;
        const char32_t c = Utf8CodePoint(name);
        if (c < 0x80)
            units.push_back({TUnit::TKind::Ascii});
        else if (c >= 0xFF61 && c <= 0xFF9F)
            units.push_back({TUnit::TKind::Half, int(c - 0xFF61 + 0xA1)});
        else
            units.push_back({TUnit::TKind::Wide, Utf8WideScore(c)});
        name.remove_prefix(length);
    }
    return units;
}

std::optional<TUnits> UnitsOf(TNameEncoding encoding, std::string_view name, TUnits&& reuse)
{
    reuse.clear();
    switch (encoding) {
    case TNameEncoding::ShiftJis:
        return ShiftJisUnits(name, std::move(reuse));
    case TNameEncoding::EucJp:
        return EucJpUnits(name, std::move(reuse));
    default:
        return Utf8Units(name, std::move(reuse));
    }
}

bool HasHighByte(std::string_view name)
{
    return std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

struct TReading {
    size_t undecodable = 0;
    int score = 0;
};

TReading Read(TNameEncoding encoding, const std::vector<std::string_view>& names)
{
    TReading reading;
    TUnits units;
    for (const std::string_view name : names) {
        std::optional<TUnits> read = UnitsOf(encoding, name, std::move(units));
        // The structure test is quick; the converter also knows which codes are assigned.
        if (!read || (encoding != TNameEncoding::Utf8 && !IsDecodable(encoding, name))) {
            ++reading.undecodable;
            units = {};
            continue;
        }
        reading.score += Score(*read);
        units = std::move(*read);
    }
    return reading;
}

}  // namespace

bool TNameEvidence::Readable(TNameEncoding encoding) const
{
    const size_t index = IndexOf(encoding);
    return index < readable.size() && readable[index];
}

TNameEvidence WeighNames(const std::vector<std::string_view>& names)
{
    std::vector<std::string_view> telling;
    for (const std::string_view name : names)
        if (HasHighByte(name))
            telling.push_back(name);
    TNameEvidence evidence;
    if (telling.empty())
        return evidence;

    std::array<TReading, 3> readings;
    for (size_t index = 0; index < Encodings.size(); ++index)
        readings[index] = Read(Encodings[index], telling);
    size_t fewestUndecodable = telling.size();
    for (const TReading& reading : readings)
        fewestUndecodable = std::min(fewestUndecodable, reading.undecodable);

    std::optional<size_t> best, second;
    for (size_t index = 0; index < Encodings.size(); ++index) {
        evidence.readable[index] = readings[index].undecodable == fewestUndecodable;
        if (!evidence.readable[index])
            continue;
        // Ties go to the earlier encoding: UTF-8, then Shift_JIS, the more common of the others.
        if (!best || readings[index].score > readings[*best].score) {
            second = best;
            best = index;
        } else if (!second || readings[index].score > readings[*second].score) {
            second = index;
        }
    }
    evidence.best = Encodings[*best];
    constexpr int DecisiveMargin = 3 * CommonKanji;
    const bool alone = !second && fewestUndecodable == 0;
    const bool farAhead = second && readings[*best].score - readings[*second].score >= DecisiveMargin;
    evidence.strength = alone || farAhead ? TNameEvidence::TStrength::Decisive : TNameEvidence::TStrength::Weak;
    return evidence;
}
