#pragma once
#include <cstddef>
#include <cstdint>

// Pictures larger than this are refused before any pixel memory is allocated.
inline constexpr int64_t MaxPictureSide = 16384;
inline constexpr int64_t MaxPicturePixels = 100'000'000;

// True when a picture of this size may be decoded.
bool PictureSizeAllowed(int64_t width, int64_t height);

// The two malloc blocks GetPicture hands out: header (+ colour table) and bottom-up rows.
// Freed on destruction unless handed over.
class TDib {
public:
    TDib() = default;
    TDib(const TDib&) = delete;
    TDib& operator=(const TDib&) = delete;
    ~TDib();

    // SpiSuccess; SpiBrokenData for an empty picture; SpiOutOfMemory for a refused size or a
    // failed allocation. bitCount 8
    // comes with a zeroed 256-entry colour table.
    int Allocate(int width, int height, int bitCount);
    // Row y counted from the top of the picture.
    unsigned char* Row(int y) const { return bits_ + static_cast<size_t>(height_ - 1 - y) * stride_; }
    // Colour table entry index as blue, green, red, 0.
    void SetColour(int index, uint8_t red, uint8_t green, uint8_t blue);
    // A grey ramp: entry i is (i, i, i).
    void SetGreyColours();
    int Width() const { return width_; }
    int Height() const { return height_; }
    void HandOver(void** info, void** bits);

private:
    unsigned char* info_ = nullptr;
    unsigned char* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    size_t stride_ = 0;
};
