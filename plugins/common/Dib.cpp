#include "common/Dib.h"

#include "common/PluginDecoder.h"

#include <bit>
#include <cstdlib>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "the info block is written in host order");

namespace {
constexpr size_t PaletteEntries = 256;
}

bool PictureSizeAllowed(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= MaxPictureSide && height <= MaxPictureSide &&
           width * height <= MaxPicturePixels;
}

TDib::~TDib()
{
    std::free(info_);
    std::free(bits_);
}

int TDib::Allocate(int width, int height, int bitCount)
{
    if (width <= 0 || height <= 0)
        return SpiBrokenData;
    if (!PictureSizeAllowed(width, height))
        return SpiOutOfMemory;
    const size_t paletteBytes = bitCount == 8 ? PaletteEntries * 4 : 0;
    const size_t rowBytes = static_cast<size_t>(width) * (bitCount / 8);
    stride_ = (rowBytes + 3) & ~size_t{3};
    info_ = static_cast<unsigned char*>(std::calloc(1, sizeof(BitmapInfoHeader) + paletteBytes));
    bits_ = static_cast<unsigned char*>(std::malloc(stride_ * height));
    if (!info_ || !bits_)
        return SpiOutOfMemory;
    // Row padding is part of the block the caller may read.
    if (stride_ > rowBytes)
        for (int y = 0; y < height; ++y)
            std::memset(bits_ + y * stride_ + rowBytes, 0, stride_ - rowBytes);
    width_ = width;
    height_ = height;
    BitmapInfoHeader header{};
    header.biSize = sizeof(BitmapInfoHeader);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<uint16_t>(bitCount);
    header.biSizeImage = static_cast<uint32_t>(stride_ * height);
    header.biClrUsed = bitCount == 8 ? PaletteEntries : 0;
    std::memcpy(info_, &header, sizeof header);
    return SpiSuccess;
}

void TDib::SetColour(int index, uint8_t red, uint8_t green, uint8_t blue)
{
    unsigned char* quad = info_ + sizeof(BitmapInfoHeader) + static_cast<size_t>(index) * 4;
    quad[0] = blue;
    quad[1] = green;
    quad[2] = red;
    quad[3] = 0;
}

void TDib::SetGreyColours()
{
    for (int i = 0; i < static_cast<int>(PaletteEntries); ++i)
        SetColour(i, static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i));
}

void TDib::HandOver(void** info, void** bits)
{
    *info = info_;
    *bits = bits_;
    info_ = nullptr;
    bits_ = nullptr;
}
