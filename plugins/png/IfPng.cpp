// ifpng.spi: PNG pictures through libpng, as blue-green-red rows with any transparency composed
// onto white: 24 bits a pixel, or 32 for pictures with transparency, which are composed in place.
#include "common/PluginDecoder.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <png.h>

namespace {

const char* const InfoTexts[] = {"00IN", "Marlux PNG plug-in (libpng)", "*.png", "PNG"};

// Ancillary chunks (text, profiles) are bounded so a hostile file cannot make libpng inflate
// gigabytes.
constexpr png_alloc_size_t MaxChunkBytes = 8'000'000;

struct TPngReader {
    TPictureBytes picture;
    size_t position = 0;
};

void ReadData(png_structp png, png_bytep out, size_t size)
{
    auto* reader = static_cast<TPngReader*>(png_get_io_ptr(png));
    if (size > reader->picture.size - reader->position)
        png_error(png, "truncated");
    std::memcpy(out, reader->picture.data + reader->position, size);
    reader->position += size;
}

[[noreturn]] void ErrorExit(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

bool Accepts(const unsigned char* head, size_t size)
{
    return size >= 8 && png_sig_cmp(head, 0, 8) == 0;
}

// libpng's read state over the picture's bytes.
struct TPngDecoder {
    TPngReader reader;
    png_structp png = nullptr;
    png_infop info = nullptr;

    explicit TPngDecoder(TPictureBytes picture) : reader{picture}
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorExit, IgnoreWarning);
        if (png)
            info = png_create_info_struct(png);
    }
    TPngDecoder(const TPngDecoder&) = delete;
    TPngDecoder& operator=(const TPngDecoder&) = delete;
    ~TPngDecoder() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
    bool Created() const { return png && info; }

};

// Reads the header, then runs work(decoder); libpng's errors jump back here and end it.
template <class Work>
int WithPngHeader(TPictureBytes picture, Work work)
{
    TPngDecoder decoder(picture);
    if (!decoder.Created())
        return SpiOutOfMemory;
    if (setjmp(png_jmpbuf(decoder.png)))
        return SpiBrokenData;
    png_set_read_fn(decoder.png, &decoder.reader, ReadData);
    png_set_chunk_malloc_max(decoder.png, MaxChunkBytes);
    // Any size the format allows gets through the header, so the size check can refuse it as
    // too large rather than as broken.
    png_set_user_limits(decoder.png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_read_info(decoder.png, decoder.info);
    return work(decoder.png, decoder.info);
}

uint16_t DotsPerInch(png_uint_32 perMetre)
{
    return static_cast<uint16_t>(std::min<png_uint_32>(perMetre * 254 / 10000, 0xFFFF));
}

int ReadInfo(TPictureBytes picture, PictureInfo& info)
{
    return WithPngHeader(picture, [&](png_structp png, png_infop header) {
        info.width = static_cast<int32_t>(png_get_image_width(png, header));
        info.height = static_cast<int32_t>(png_get_image_height(png, header));
        if (png_get_pHYs(png, header, nullptr, nullptr, nullptr) && png_get_pixels_per_meter(png, header) > 0) {
            info.x_density = DotsPerInch(png_get_x_pixels_per_meter(png, header));
            info.y_density = DotsPerInch(png_get_y_pixels_per_meter(png, header));
        }
        info.colorDepth = static_cast<int16_t>(png_get_bit_depth(png, header) * png_get_channels(png, header));
        return static_cast<int>(SpiSuccess);
    });
}

// Every colour type to 8-bit blue-green-red, with alpha when the picture has transparency.
// Returns the bytes per pixel.
int RequestBgr(png_structp png, png_infop info)
{
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    const bool alpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    return alpha ? 4 : 3;
}

void ComposeOntoWhite(unsigned char* row, int width)
{
    for (int x = 0; x < width; ++x, row += 4) {
        const unsigned alpha = row[3];
        for (int channel = 0; channel < 3; ++channel)
            row[channel] = static_cast<unsigned char>((row[channel] * alpha + 255 * (255 - alpha) + 127) / 255);
        row[3] = 0;
    }
}

int Decode(TPictureBytes picture, TDib& dib, TProgress& progress)
{
    return WithPngHeader(picture, [&](png_structp png, png_infop header) {
        const png_uint_32 width = png_get_image_width(png, header);
        const png_uint_32 height = png_get_image_height(png, header);
        if (!PictureSizeAllowed(width, height))
            return static_cast<int>(SpiOutOfMemory);
        const int bytesPerPixel = RequestBgr(png, header);
        const int passes = png_set_interlace_handling(png);
        png_read_update_info(png, header);
        if (png_get_rowbytes(png, header) != static_cast<size_t>(width) * bytesPerPixel)
            return static_cast<int>(SpiInternalError);
        const int rows = static_cast<int>(height);
        if (const int result = dib.Allocate(static_cast<int>(width), rows, bytesPerPixel * 8); result != SpiSuccess)
            return result;
        // Each pass of an interlaced picture fills in more pixels of the same rows.
        for (int pass = 0; pass < passes; ++pass)
            for (int y = 0; y < rows; ++y) {
                png_read_row(png, dib.Row(y), nullptr);
                if (!progress.Report(pass * rows + y + 1, passes * rows))
                    return static_cast<int>(SpiCancelled);
            }
        if (bytesPerPixel == 4)
            for (int y = 0; y < rows; ++y)
                ComposeOntoWhite(dib.Row(y), static_cast<int>(width));
        return static_cast<int>(SpiSuccess);
    });
}

}  // namespace

const TPluginDecoder ThisPlugin{InfoTexts, std::size(InfoTexts), 8, Accepts, ReadInfo, Decode};
