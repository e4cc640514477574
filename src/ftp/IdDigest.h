#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The digests a transfer can be checked with, strongest first.
enum TIdDigestAlgorithm { daSHA256, daSHA1, daMD5, daCRC32 };
inline constexpr TIdDigestAlgorithm DigestAlgorithms[] = {daSHA256, daSHA1, daMD5, daCRC32};

// The algorithm's name as HASH spells it ("SHA-256").
std::string_view DigestName(TIdDigestAlgorithm algorithm);
// The length of the algorithm's digest in hex digits.
std::size_t DigestHexLength(TIdDigestAlgorithm algorithm);

struct evp_md_ctx_st;

// A running digest over bytes fed in any number of pieces.
class TIdDigest {
public:
    explicit TIdDigest(TIdDigestAlgorithm algorithm);
    ~TIdDigest();
    TIdDigest(const TIdDigest&) = delete;
    TIdDigest& operator=(const TIdDigest&) = delete;

    TIdDigestAlgorithm Algorithm() const { return algorithm_; }
    void Update(const char* data, std::size_t count);
    // The digest in lower-case hex; no more bytes may be fed afterwards.
    std::string HexFinal();

private:
    TIdDigestAlgorithm algorithm_;
    std::unique_ptr<evp_md_ctx_st, void (*)(evp_md_ctx_st*)> context_;
    unsigned long crc_ = 0;
};
