// Pictures written by the test with libjpeg, libpng and giflib, and the project's plug-ins,
// loaded from the build's program directory the way the program loads them and called through
// their exported functions.
#pragma once
#include "platform/SpiPlugin.h"

#include <png.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using TBytes = std::vector<unsigned char>;

// Red, green, blue.
using TRgb = std::array<int, 3>;
// samples: packed rows, as libpng writes them; paletteAlpha: the tRNS entries of a palette picture.
TBytes EncodePng(int width, int height, int colorType, int bitDepth, const std::vector<uint8_t>& samples,
                 bool interlaced = false, const std::vector<png_color>& palette = {},
                 const std::vector<uint8_t>& paletteAlpha = {});

// components: 1 grey or 3 RGB.
TBytes EncodeJpeg(int width, int height, int components, const std::vector<uint8_t>& samples, bool progressive = false);

struct TGifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    int transparent = -1;
    std::vector<uint8_t> indices{};  // width * height, top row first
};
// colours: the global table, 2, 4, ... 256 entries.
TBytes EncodeGif(int screenWidth, int screenHeight, int background, const std::vector<TRgb>& colours,
                 const std::vector<TGifFrame>& frames);

// GetPicture's result code and, on success, its two malloc blocks.
struct TDecodeResult {
    // Checked for an uncompressed picture stored bottom-up.
    BitmapInfoHeader Header() const;
    // Pixel at x, y counted from the top left.
    TRgb Pixel(int x, int y) const;

    int code = SpiSuccess;
    std::unique_ptr<unsigned char, void (*)(void*)> info{nullptr, std::free};
    std::unique_ptr<unsigned char, void (*)(void*)> bits{nullptr, std::free};
};

// A plug-in from the build's program directory, with its exported functions as members.
class TPluginUnderTest : public TSpiPlugin {
public:
    explicit TPluginUnderTest(const std::string& fileName);

    // GetPicture over bytes in memory, or over a file from an offset.
    TDecodeResult Decode(const TBytes& bytes, SpiProgressCallback progress = nullptr, intptr_t data = 0) const
    {
        return Decoded(Source(bytes), static_cast<intptr_t>(bytes.size()), SpiFromMemory, progress, data);
    }
    TDecodeResult DecodeFile(const std::string& path, intptr_t offset = 0) const
    {
        return Decoded(path.c_str(), offset, SpiFromFile, nullptr, 0);
    }

private:
    static const char* Source(const TBytes& bytes) { return reinterpret_cast<const char*>(bytes.data()); }
    TDecodeResult Decoded(const char* source, intptr_t lengthOrOffset, unsigned flag, SpiProgressCallback progress,
                          intptr_t data) const;
};
