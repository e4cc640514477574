#include "plugins/PluginHarness.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <jpeglib.h>
#include <stdexcept>

namespace {
// Both libraries' writers append to the TBytes they were given.
void Append(void* out, const unsigned char* data, size_t size)
{
    static_cast<TBytes*>(out)->insert(static_cast<TBytes*>(out)->end(), data, data + size);
}
}  // namespace

TBytes EncodePng(int width, int height, int colorType, int bitDepth, const std::vector<uint8_t>& samples,
                 bool interlaced, const std::vector<png_color>& palette, const std::vector<uint8_t>& paletteAlpha)
{
    TBytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        throw std::runtime_error("libpng could not write the test picture");
    png_set_write_fn(
        png, &out, [](png_structp png, png_bytep data, size_t size) { Append(png_get_io_ptr(png), data, size); }, nullptr);
    const int interlace = interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
    png_set_IHDR(png, info, width, height, bitDepth, colorType, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!paletteAlpha.empty())
        png_set_tRNS(png, info, paletteAlpha.data(), static_cast<int>(paletteAlpha.size()), nullptr);
    const size_t rowBytes = samples.size() / height;
    std::vector<png_bytep> rows;
    for (int y = 0; y < height; ++y)
        rows.push_back(const_cast<png_bytep>(samples.data() + y * rowBytes));
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

TBytes EncodeJpeg(int width, int height, int components, const std::vector<uint8_t>& samples, bool progressive)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    // Full-resolution colour, so flat areas come back close to what went in.
    for (int c = 0; c < cinfo.num_components; ++c)
        cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t rowBytes = static_cast<size_t>(width) * components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + cinfo.next_scanline * rowBytes);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    TBytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

TBytes EncodeGif(int screenWidth, int screenHeight, int background, const std::vector<TRgb>& colours,
                 const std::vector<TGifFrame>& frames)
{
    TBytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, [](GifFileType* gif, const GifByteType* data, int size) {
        Append(gif->UserData, data, static_cast<size_t>(size));
        return size;
    }, &error);
    std::vector<GifColorType> table;
    for (const TRgb& c : colours)
        table.push_back({GifByteType(c[0]), GifByteType(c[1]), GifByteType(c[2])});
    const int bits = std::bit_width(table.size() - 1);
    ColorMapObject* map = GifMakeMapObject(static_cast<int>(table.size()), table.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, screenWidth, screenHeight, bits, background, map);
    for (const TGifFrame& frame : frames) {
        const GifByteType control[4] = {static_cast<GifByteType>(frame.transparent >= 0 ? 1 : 0), 10, 0,
                                        static_cast<GifByteType>(std::max(frame.transparent, 0))};
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
        EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced, nullptr);
        // Interlaced rows go out in the four passes' order.
        using TPasses = std::vector<std::pair<int, int>>;
        for (const auto& [start, step] : frame.interlaced ? TPasses{{0, 8}, {4, 8}, {2, 4}, {1, 2}} : TPasses{{0, 1}})
            for (int y = start; y < frame.height; y += step)
                EGifPutLine(gif, const_cast<GifPixelType*>(frame.indices.data() + y * frame.width), frame.width);
    }
    GifFreeMapObject(map);
    EGifCloseFile(gif, &error);
    return out;
}

BitmapInfoHeader TDecodeResult::Header() const
{
    BitmapInfoHeader header;
    std::memcpy(&header, info.get(), sizeof header);
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biCompression, 0u);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_GT(header.biHeight, 0) << "rows must be stored bottom-up";
    return header;
}

TRgb TDecodeResult::Pixel(int x, int y) const
{
    const BitmapInfoHeader header = Header();
    const int bytesPerPixel = header.biBitCount / 8;
    const size_t stride = (static_cast<size_t>(header.biWidth) * bytesPerPixel + 3) & ~size_t{3};
    const unsigned char* p = bits.get() + (header.biHeight - 1 - y) * stride + static_cast<size_t>(x) * bytesPerPixel;
    if (header.biBitCount == 8) {
        const unsigned char* quad = info.get() + sizeof header + size_t{*p} * 4;
        return {quad[2], quad[1], quad[0]};
    }
    return {p[2], p[1], p[0]};
}

TPluginUnderTest::TPluginUnderTest(const std::string& fileName)
    : TSpiPlugin(std::string(MARLUX_BIN_DIR) + "/" + fileName)
{
    if (!Loaded())
        ADD_FAILURE() << fileName << " is not in " << MARLUX_BIN_DIR << " or cannot be loaded";
}

TDecodeResult TPluginUnderTest::Decoded(const char* source, intptr_t lengthOrOffset, unsigned flag,
                                        SpiProgressCallback progress, intptr_t data) const
{
    void* info = nullptr;
    void* bits = nullptr;
    TDecodeResult result;
    result.code = GetPicture(source, lengthOrOffset, flag, &info, &bits, progress, data);
    EXPECT_TRUE(result.code == SpiSuccess || info == nullptr) << "a failed decoding must not hand out blocks";
    result.info.reset(static_cast<unsigned char*>(info));
    result.bits.reset(static_cast<unsigned char*>(bits));
    return result;
}
