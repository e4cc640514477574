// Pictures written by the test with libjpeg, libpng and giflib, and a reader of the picture
// blocks the plug-ins hand back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

using TBytes = std::vector<unsigned char>;

struct TRgb {
    int red, green, blue;
    bool operator==(const TRgb&) const = default;
};

struct TPngPicture {
    int width = 0;
    int height = 0;
    int colorType = 2;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<TRgb> palette{};
    std::vector<uint8_t> paletteAlpha{};  // tRNS entries of a palette picture
    std::vector<uint8_t> samples{};     // packed rows, as libpng writes them
};
TBytes EncodePng(const TPngPicture& source);

struct TJpegPicture {
    int width = 0;
    int height = 0;
    int components = 3;  // 1 grey, 3 RGB, 4 CMYK (stored as Adobe does, inverted)
    bool progressive = false;
    std::vector<uint8_t> samples{};
};
TBytes EncodeJpeg(const TJpegPicture& source);

struct TGifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    int transparent = -1;
    std::vector<uint8_t> indices{};  // width * height, top row first
};
struct TGifPicture {
    int screenWidth = 0;
    int screenHeight = 0;
    int background = 0;
    std::vector<TRgb> colours;  // global table: 2, 4, ... 256 entries
    std::vector<TGifFrame> frames;
};
TBytes EncodeGif(const TGifPicture& source);

// The two blocks of GetPicture, checked for shape and read back.
class TDecodedPicture {
public:
    // Takes ownership of both malloc blocks.
    TDecodedPicture(void* info, void* bits);
    TDecodedPicture(TDecodedPicture&& other) noexcept;
    TDecodedPicture(const TDecodedPicture&) = delete;
    TDecodedPicture& operator=(const TDecodedPicture&) = delete;
    ~TDecodedPicture();

    int Width() const;
    int Height() const;
    int BitCount() const;
    // Pixel at x, y counted from the top left.
    TRgb Pixel(int x, int y) const;

private:
    unsigned char* info_;
    unsigned char* bits_;
};

// Overwrites a big-endian 16-bit value.
void PutBigEndian16(TBytes& bytes, size_t at, unsigned value);
// Rewrites the width and height of a PNG's header chunk (with its checksum).
void SetPngSize(TBytes& png, uint32_t width, uint32_t height);
// Recomputes the checksum of every whole chunk of a PNG.
void FixPngChecksums(TBytes& png);
// Rewrites the frame size in a JPEG's start-of-frame segment.
void SetJpegSize(TBytes& jpeg, unsigned width, unsigned height);
