// One of the project's plug-ins, loaded from the build's program directory the way the
// program loads it, and called through its exported functions.
#pragma once
#include "platform/SpiPlugin.h"
#include "plugins/TestPictures.h"

#include <optional>
#include <string>

struct TDecodeResult {
    int code;
    std::optional<TDecodedPicture> picture;
};

class TPluginUnderTest {
public:
    explicit TPluginUnderTest(const std::string& fileName);

    const TSpiPlugin& Api() const { return plugin_; }
    // GetPicture over bytes in memory, or over a file from an offset.
    TDecodeResult Decode(const TBytes& bytes, SpiProgressCallback progress = nullptr, intptr_t data = 0) const;
    TDecodeResult DecodeFile(const std::string& path, intptr_t offset = 0) const;
    int Info(const TBytes& bytes, PictureInfo& info) const;

private:
    TDecodeResult GetPicture(const char* source, intptr_t lengthOrOffset, unsigned flag, SpiProgressCallback progress,
                             intptr_t data) const;

    TSpiPlugin plugin_;
};
