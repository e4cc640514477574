// The image-decoder plug-in interface: shared objects named "*.spi" that export these four
// functions with C linkage. The program and the project's own plug-ins both include this file.
#pragma once
#include <cstdint>

#define MARLUX_SPI_EXPORT __attribute__((visibility("default")))

extern "C" {

#pragma pack(push, 1)
// Filled by GetPictureInfo.
struct PictureInfo {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    uint16_t x_density;  // dots per inch, 0 when unknown
    uint16_t y_density;
    int16_t colorDepth;  // bits per pixel of the source
    uint32_t hInfo;      // extra text information; always 0 here
};

// The header at the start of the info block GetPicture returns (little-endian). An 8-bit
// picture's 256-entry colour table of blue, green, red, 0 quads follows it.
struct BitmapInfoHeader {
    uint32_t biSize;  // 40
    int32_t biWidth;
    int32_t biHeight;  // positive: rows stored bottom-up
    uint16_t biPlanes;
    uint16_t biBitCount;  // 8, 24 or 32
    uint32_t biCompression;  // 0: uncompressed
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
#pragma pack(pop)

// Results of GetPictureInfo and GetPicture.
enum SpiResult : int {
    SpiSuccess = 0,
    SpiCancelled = 1,      // the progress callback returned non-zero
    SpiUnknownFormat = 2,
    SpiBrokenData = 3,
    SpiOutOfMemory = 4,    // also: the declared picture is larger than the plug-in accepts
    SpiReadError = 6,
    SpiInternalError = 8,
};

// The low three bits of flag: where buf points.
enum SpiInput : unsigned {
    SpiFromFile = 0,    // buf: the file's path; len: the offset of the picture in it
    SpiFromMemory = 1,  // buf: the picture's bytes; len: their count
};

// Called while decoding with the rows done and the rows in all; non-zero cancels.
typedef int (*SpiProgressCallback)(int done, int total, intptr_t data);

// 0: the interface version "00IN"; 1: the plug-in's name; 2n+2: the filter of format n
// ("*.jpg;*.jpeg"); 2n+3: its name. Returns the bytes written without the terminating zero,
// 0 when there is no such entry.
MARLUX_SPI_EXPORT int GetPluginInfo(int infono, char* buf, int buflen);
// dw: an open read-only file descriptor positioned at 0 (its upper bits zero). Non-zero when
// the plug-in decodes the file.
MARLUX_SPI_EXPORT int IsSupported(const char* filename, intptr_t dw);
MARLUX_SPI_EXPORT int GetPictureInfo(const char* buf, intptr_t len, unsigned int flag, PictureInfo* info);
// On success *pHBInfo holds a BitmapInfoHeader (and the colour table of an 8-bit picture) and
// *pHBm the pixel rows, bottom-up, each padded to a multiple of 4 bytes, blue-green-red. Both
// are malloc blocks that the caller frees with free.
MARLUX_SPI_EXPORT int GetPicture(const char* buf, intptr_t len, unsigned int flag, void** pHBInfo, void** pHBm,
                                 SpiProgressCallback progress, intptr_t lData);
}

static_assert(sizeof(PictureInfo) == 26);
static_assert(sizeof(BitmapInfoHeader) == 40);

using GetPluginInfoFunc = decltype(&GetPluginInfo);
using IsSupportedFunc = decltype(&IsSupported);
using GetPictureInfoFunc = decltype(&GetPictureInfo);
using GetPictureFunc = decltype(&GetPicture);
