#pragma once
#include "platform/NameEncoding.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The name encoding of one connection: the profile's choice, or, for Auto, what the
// connection's listings have shown. Listings without telling names keep the encoding that
// earlier listings decided.
class TNameCodec {
public:
    // Takes effect at once; Auto reads the encoding off the listings.
    void SetChoice(TNameEncoding choice);
    TNameEncoding Choice() const { return choice_; }
    // A new connection: what the listings of the last one showed is forgotten.
    void Restart();
    // The server listed UTF8 in FEAT and accepted OPTS UTF8 ON: UTF-8, unless names prove
    // otherwise.
    void ServerUsesUtf8();
    // Settles the encoding that this listing's names, and the names typed after it, use.
    void Observe(const std::vector<std::string_view>& names);

    // The encoding in use.
    TNameEncoding Current() const { return current_; }
    // Whether a choice or decisive evidence stands behind Current.
    bool Settled() const { return settled_; }

    // Server bytes as UTF-8, undecodable bytes as "%XX".
    std::string Decode(std::string_view bytes, TUndecodable undecodable = TUndecodable::Percent) const;
    // The server's bytes for a name as shown or saved locally: a name that Decode made from
    // undecodable bytes becomes those bytes again; any other is encoded, raising
    // ENameNotEncodable for a character the encoding lacks.
    std::string ServerName(std::string_view shown) const;
    std::optional<std::string> TryServerName(std::string_view shown) const;
    // ServerName in the encoding in use, then in each other encoding that differs: for a typed
    // path that a connection has not yet seen listed.
    std::vector<std::string> ServerNameCandidates(std::string_view shown) const;

private:
    std::string ServerNameIn(TNameEncoding encoding, std::string_view shown) const;

    TNameEncoding choice_ = TNameEncoding::Auto;
    TNameEncoding current_ = TNameEncoding::Utf8;
    bool settled_ = false;
};
