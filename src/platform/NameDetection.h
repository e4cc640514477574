#pragma once
#include "platform/NameEncoding.h"

#include <array>
#include <string_view>
#include <vector>

// What one listing's names tell about their encoding.
struct TNameEvidence {
    enum class TStrength {
        // Every name is ASCII: any encoding reads them alike.
        None,
        // More than one encoding reads the names; the most plausible reading is `best`.
        Weak,
        // One encoding alone reads them, or its reading is far more plausible than any other.
        Decisive,
    };
    TStrength strength = TStrength::None;
    TNameEncoding best = TNameEncoding::Utf8;
    // Per encoding (UTF-8, Shift_JIS, EUC-JP): whether it reads the names with as few
    // undecodable ones as any other encoding does (all of them, unless every encoding fails on
    // some name).
    std::array<bool, 3> readable{true, true, true};

    bool Readable(TNameEncoding encoding) const;
};

// Weighs the names of one listing: an encoding that cannot decode a name is ruled out; among
// those left, each reading is scored for how plausible its characters are as Japanese or other
// names (kana and common kanji for; private-use characters, half-width katakana glued to
// full-width ones, stray voicing marks against), so that where EUC-JP kanji also read as
// Shift_JIS half-width katakana, the kanji win. Linear in the bytes of the names.
TNameEvidence WeighNames(const std::vector<std::string_view>& names);
