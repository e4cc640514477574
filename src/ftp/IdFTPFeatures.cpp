// What the server offers beyond the base command set (RFC 2389), and UTF-8 names (RFC 2640).
#include "ftp/IdFTP.h"

#include "ftp/IdFeatureList.h"
#include "ftp/IdText.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// What follows the first word of the first FEAT line that starts with `feature`, letter case aside.
std::optional<std::string_view> FeatureLine(const std::vector<std::string>& features, std::string_view feature) {
    for (std::string_view line : features) {
        line = Trim(line);
        const size_t blank = std::min(line.find(' '), line.size());
        if (SameLetters(line.substr(0, blank), feature)) return line.substr(blank);
    }
    return std::nullopt;
}

}  // namespace

std::vector<TIdFeatureEntry> FeatureEntries(const std::vector<std::string>& features, std::string_view feature) {
    std::vector<TIdFeatureEntry> entries;
    std::string_view list = FeatureLine(features, feature).value_or(std::string_view());
    while (!list.empty()) {
        const size_t semicolon = std::min(list.find(';'), list.size());
        TIdFeatureEntry entry{.name = Trim(list.substr(0, semicolon))};
        list.remove_prefix(std::min(semicolon + 1, list.size()));
        entry.marked = entry.name.ends_with('*');
        if (entry.marked) entry.name.remove_suffix(1);
        if (!entry.name.empty()) entries.push_back(entry);
    }
    return entries;
}

void TIdFTP::RequestFeatures() {
    Features.clear();
    hashSelected_.reset();
    if (SendCommand("FEAT") != 211) return;
    // One feature per line between the reply's first and last; a few servers put the code
    // before each.
    const std::vector<std::string>& lines = LastReply.Lines;
    for (size_t index = 1; index + 1 < lines.size(); ++index) {
        std::string_view feature = lines[index];
        if (feature.starts_with("211-")) feature.remove_prefix(4);
        if (feature = Trim(feature); !feature.empty()) Features.emplace_back(feature);
    }
    hashSelected_ = ParseHashFeature(Features).selected;
    const TNameEncoding choice = NameCodec.Choice();
    if (Supports("UTF8") && (choice == TNameEncoding::Auto || choice == TNameEncoding::Utf8) &&
        SendCommand("OPTS UTF8 ON") / 100 == 2)
        NameCodec.ServerUsesUtf8();
    RequestModeFact();
}

bool TIdFTP::Supports(std::string_view feature) const { return FeatureLine(Features, feature).has_value(); }
