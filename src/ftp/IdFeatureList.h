#pragma once
#include <string>
#include <string_view>
#include <vector>

// One entry of the list a FEAT line gives after its first word ("HASH SHA-1*;SHA-256;",
// "MLST type*;size*;unix.mode;"): its name, and whether the server marks it as in use.
struct TIdFeatureEntry {
    std::string_view name;
    bool marked = false;
};

// The entries of the first FEAT line whose first word is `feature`, letter case aside; they
// point into `features`.
std::vector<TIdFeatureEntry> FeatureEntries(const std::vector<std::string>& features, std::string_view feature);
