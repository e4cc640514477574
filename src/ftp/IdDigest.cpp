#include "ftp/IdDigest.h"

#include "ftp/IdException.h"

#include <algorithm>
#include <openssl/evp.h>
#include <zlib.h>

namespace {

const EVP_MD* DigestType(TIdDigestAlgorithm algorithm) {
    switch (algorithm) {
    case daSHA256: return EVP_sha256();
    case daSHA1: return EVP_sha1();
    case daMD5: return EVP_md5();
    case daCRC32: break;
    }
    return nullptr;
}

std::string Hex(const unsigned char* bytes, std::size_t count) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * count);
    for (std::size_t i = 0; i < count; ++i) {
        hex += Digits[bytes[i] >> 4];
        hex += Digits[bytes[i] & 15];
    }
    return hex;
}

}  // namespace

std::string_view DigestName(TIdDigestAlgorithm algorithm) {
    switch (algorithm) {
    case daSHA256: return "SHA-256";
    case daSHA1: return "SHA-1";
    case daMD5: return "MD5";
    case daCRC32: break;
    }
    return "CRC32";
}

std::size_t DigestHexLength(TIdDigestAlgorithm algorithm) {
    const EVP_MD* type = DigestType(algorithm);
    return type ? 2 * static_cast<std::size_t>(EVP_MD_get_size(type)) : 8;
}

TIdDigest::TIdDigest(TIdDigestAlgorithm algorithm) : algorithm_(algorithm), context_(nullptr, EVP_MD_CTX_free) {
    const EVP_MD* type = DigestType(algorithm);
    if (!type) {
        crc_ = crc32(0, nullptr, 0);
        return;
    }
    context_.reset(EVP_MD_CTX_new());
    if (!context_ || EVP_DigestInit_ex(context_.get(), type, nullptr) != 1)
        throw EIdException("Cannot start a " + std::string(DigestName(algorithm)) + " digest.");
}

TIdDigest::~TIdDigest() = default;

void TIdDigest::Update(const char* data, std::size_t count) {
    if (!context_) {
        // zlib takes lengths as unsigned int.
        for (std::size_t done = 0; done < count;) {
            const auto piece = static_cast<uInt>(std::min<std::size_t>(count - done, 1u << 30));
            crc_ = crc32(crc_, reinterpret_cast<const Bytef*>(data + done), piece);
            done += piece;
        }
        return;
    }
    EVP_DigestUpdate(context_.get(), data, count);
}

std::string TIdDigest::HexFinal() {
    if (!context_) {
        const unsigned char bytes[4] = {static_cast<unsigned char>(crc_ >> 24), static_cast<unsigned char>(crc_ >> 16),
                                        static_cast<unsigned char>(crc_ >> 8), static_cast<unsigned char>(crc_)};
        return Hex(bytes, 4);
    }
    unsigned char bytes[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_.get(), bytes, &length);
    return Hex(bytes, length);
}
