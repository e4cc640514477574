// ifjpeg.spi: JPEG pictures through libjpeg, as 32-bit blue-green-red-unused or 8-bit grey
// (32 bits let the program show the rows without converting them). Its
// extensions are reported in capitals; the program compares them without regard to case.
#include "common/PluginDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <iterator>
#include <jpeglib.h>

namespace {

const char* const InfoTexts[] = {"00IN", "Marlux JPEG plug-in (libjpeg)", "*.JPG;*.JPEG;*.JPE;*.JFIF",
                                 "JPEG"};

// Legitimate progressive pictures have a few dozen scans; thousands only cost time.
constexpr int MaxScans = 256;
// libjpeg's own working memory, enough for a progressive picture of the largest allowed size.
constexpr long MaxDecoderMemory = 1L << 30;

struct TJpegErrors {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<TJpegErrors*>(cinfo->err)->jump, 1);
}

// Warnings (corrupt or truncated data) are not shown; the picture is decoded as far as it goes.
void OutputMessage(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > MaxScans)
        ErrorExit(cinfo);
}

// A decompressor over the picture's bytes; longjmps back to the caller's setjmp on errors.
struct TJpegDecoder {
    jpeg_decompress_struct cinfo;
    TJpegErrors errors;
    jpeg_progress_mgr progress;

    void Start(TPictureBytes picture)
    {
        cinfo.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = ErrorExit;
        errors.manager.output_message = OutputMessage;
        jpeg_create_decompress(&cinfo);
        cinfo.mem->max_memory_to_use = MaxDecoderMemory;
        progress.progress_monitor = LimitScans;
        cinfo.progress = &progress;
        jpeg_mem_src(&cinfo, picture.data, static_cast<unsigned long>(picture.size));
        jpeg_read_header(&cinfo, TRUE);
    }
};

bool Accepts(const unsigned char* head, size_t size)
{
    return size >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

bool IsCmyk(const jpeg_decompress_struct& cinfo)
{
    return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
}

uint16_t DotsPerInch(unsigned unit, unsigned density)
{
    if (unit == 1)
        return static_cast<uint16_t>(density);
    if (unit == 2)
        return static_cast<uint16_t>(density * 254 / 100);
    return 0;
}

int ReadInfo(TPictureBytes picture, PictureInfo& info)
{
    TJpegDecoder decoder{};
    if (setjmp(decoder.errors.jump)) {
        jpeg_destroy_decompress(&decoder.cinfo);
        return SpiBrokenData;
    }
    decoder.Start(picture);
    info.width = static_cast<int32_t>(decoder.cinfo.image_width);
    info.height = static_cast<int32_t>(decoder.cinfo.image_height);
    info.x_density = DotsPerInch(decoder.cinfo.density_unit, decoder.cinfo.X_density);
    info.y_density = DotsPerInch(decoder.cinfo.density_unit, decoder.cinfo.Y_density);
    info.colorDepth = static_cast<int16_t>(decoder.cinfo.num_components * 8);
    jpeg_destroy_decompress(&decoder.cinfo);
    return SpiSuccess;
}

// Ink amounts to light. Adobe writes them inverted (255 = no ink), others plain.
void CmykToBgrx(const JSAMPLE* cmyk, unsigned char* bgrx, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgrx += 4) {
        const unsigned k = inverted ? cmyk[3] : 255 - cmyk[3];
        for (int channel = 0; channel < 3; ++channel) {
            const unsigned c = inverted ? cmyk[channel] : 255 - cmyk[channel];
            bgrx[2 - channel] = static_cast<unsigned char>(c * k / 255);
        }
        bgrx[3] = 255;
    }
}

// The rows straight into the picture; CMYK through one converted row.
int ReadRows(TJpegDecoder& decoder, TDib& dib, JSAMPROW cmykRow, TProgress& progress)
{
    jpeg_decompress_struct& cinfo = decoder.cinfo;
    const int height = static_cast<int>(cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW row = cmykRow ? cmykRow : dib.Row(y);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            return SpiBrokenData;
        if (cmykRow)
            CmykToBgrx(cmykRow, dib.Row(y), cinfo.output_width, cinfo.saw_Adobe_marker);
        if (!progress.Report(y + 1, height))
            return SpiCancelled;
    }
    return SpiSuccess;
}

int Decode(TPictureBytes picture, TDib& dib, TProgress& progress)
{
    TJpegDecoder decoder{};
    if (setjmp(decoder.errors.jump)) {
        jpeg_destroy_decompress(&decoder.cinfo);
        return SpiBrokenData;
    }
    decoder.Start(picture);
    jpeg_decompress_struct& cinfo = decoder.cinfo;
    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    cinfo.out_color_space = grey ? JCS_GRAYSCALE : IsCmyk(cinfo) ? JCS_CMYK : JCS_EXT_BGRX;
    int result = dib.Allocate(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height),
                              grey ? 8 : 32);
    if (result == SpiSuccess) {
        if (grey)
            dib.SetGreyColours();
        // From libjpeg's pool, which a jump back frees with the rest.
        JSAMPROW cmykRow = IsCmyk(cinfo) ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                                       JPOOL_IMAGE, cinfo.image_width * 4, 1)[0]
                                         : nullptr;
        jpeg_start_decompress(&cinfo);
        result = ReadRows(decoder, dib, cmykRow, progress);
    }
    jpeg_destroy_decompress(&cinfo);
    return result;
}

}  // namespace

const TPluginDecoder ThisPlugin{InfoTexts, std::size(InfoTexts), 3, Accepts, ReadInfo, Decode};
