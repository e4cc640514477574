// ifgif.spi: the first frame of a GIF through giflib, as an 8-bit picture with its colour
// table; the transparent colour shows as white.
#include "common/PluginDecoder.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <iterator>
#include <vector>

namespace {

const char* const InfoTexts[] = {"00IN", "Marlux GIF plug-in (giflib)", "*.gif", "GIF"};

struct TGifReader {
    TPictureBytes picture;
    size_t position = 0;
};

int ReadData(GifFileType* gif, GifByteType* out, int size)
{
    auto* reader = static_cast<TGifReader*>(gif->UserData);
    const size_t count = std::min(static_cast<size_t>(std::max(size, 0)), reader->picture.size - reader->position);
    std::memcpy(out, reader->picture.data + reader->position, count);
    reader->position += count;
    return static_cast<int>(count);
}

bool Accepts(const unsigned char* head, size_t size)
{
    return size >= 6 && (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0);
}

// An open GIF read up to the descriptor of its first frame.
class TGifFirstFrame {
public:
    explicit TGifFirstFrame(TPictureBytes picture) : reader_{picture}
    {
        int error = 0;
        gif_ = DGifOpen(&reader_, ReadData, &error);
        result_ = !gif_ ? (error == D_GIF_ERR_NOT_ENOUGH_MEM ? SpiOutOfMemory : SpiBrokenData) : ReadToFrame();
    }
    TGifFirstFrame(const TGifFirstFrame&) = delete;
    TGifFirstFrame& operator=(const TGifFirstFrame&) = delete;
    ~TGifFirstFrame()
    {
        if (gif_)
            DGifCloseFile(gif_, nullptr);
    }

    int Result() const { return result_; }
    GifFileType& Gif() const { return *gif_; }
    int TransparentIndex() const { return transparent_; }
    // The canvas: the logical screen, grown to hold the frame where it reaches beyond it.
    int64_t Width() const { return std::max<int64_t>(gif_->SWidth, int64_t{gif_->Image.Left} + gif_->Image.Width); }
    int64_t Height() const { return std::max<int64_t>(gif_->SHeight, int64_t{gif_->Image.Top} + gif_->Image.Height); }
    const ColorMapObject* Colours() const { return gif_->Image.ColorMap ? gif_->Image.ColorMap : gif_->SColorMap; }

private:
    int ReadToFrame()
    {
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif_, &type) != GIF_OK)
                return SpiBrokenData;
            if (type == IMAGE_DESC_RECORD_TYPE)
                return DGifGetImageDesc(gif_) == GIF_OK ? SpiSuccess : SpiBrokenData;
            if (type != EXTENSION_RECORD_TYPE)
                return SpiBrokenData;  // the end before any frame
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif_, &code, &block) != GIF_OK)
                return SpiBrokenData;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
                transparent_ = (block[1] & 1) ? block[4] : -1;
            while (block)
                if (DGifGetExtensionNext(gif_, &block) != GIF_OK)
                    return SpiBrokenData;
        }
    }

    TGifReader reader_;
    GifFileType* gif_ = nullptr;
    int transparent_ = -1;
    int result_ = SpiBrokenData;
};

int ReadInfo(TPictureBytes picture, PictureInfo& info)
{
    const TGifFirstFrame frame(picture);
    if (frame.Result() != SpiSuccess)
        return frame.Result();
    info.width = static_cast<int32_t>(std::min<int64_t>(frame.Width(), INT32_MAX));
    info.height = static_cast<int32_t>(std::min<int64_t>(frame.Height(), INT32_MAX));
    const ColorMapObject* colours = frame.Colours();
    info.colorDepth = static_cast<int16_t>(colours ? colours->BitsPerPixel : 8);
    return SpiSuccess;
}

void SetColourTable(const TGifFirstFrame& frame, TDib& dib)
{
    if (const ColorMapObject* colours = frame.Colours())
        for (int i = 0; i < std::min(colours->ColorCount, 256); ++i)
            dib.SetColour(i, colours->Colors[i].Red, colours->Colors[i].Green, colours->Colors[i].Blue);
    else
        dib.SetGreyColours();
    if (frame.TransparentIndex() >= 0)
        dib.SetColour(frame.TransparentIndex(), 255, 255, 255);
}

// The frame's rows in file order; interlaced frames come in four passes.
std::vector<int> FrameRowOrder(int height, bool interlaced)
{
    std::vector<int> order;
    order.reserve(static_cast<size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    const int starts[] = {0, 4, 2, 1};
    const int steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = starts[pass]; y < height; y += steps[pass])
            order.push_back(y);
    return order;
}

int Decode(TPictureBytes picture, TDib& dib, TProgress& progress)
{
    const TGifFirstFrame frame(picture);
    if (frame.Result() != SpiSuccess)
        return frame.Result();
    if (const int result = dib.Allocate(static_cast<int>(std::min<int64_t>(frame.Width(), INT32_MAX)),
                                        static_cast<int>(std::min<int64_t>(frame.Height(), INT32_MAX)), 8);
        result != SpiSuccess)
        return result;
    SetColourTable(frame, dib);
    const GifImageDesc& image = frame.Gif().Image;
    // Canvas the frame does not cover: transparent, or the background colour.
    const int fill = frame.TransparentIndex() >= 0 ? frame.TransparentIndex() : frame.Gif().SBackGroundColor;
    for (int y = 0; y < dib.Height(); ++y)
        std::memset(dib.Row(y), fill, static_cast<size_t>(dib.Width()));
    const std::vector<int> order = FrameRowOrder(image.Height, image.Interlace);
    for (size_t i = 0; i < order.size(); ++i) {
        if (DGifGetLine(&frame.Gif(), dib.Row(image.Top + order[i]) + image.Left, image.Width) != GIF_OK)
            return SpiBrokenData;
        if (!progress.Report(static_cast<int>(i) + 1, image.Height))
            return SpiCancelled;
    }
    return SpiSuccess;
}

}  // namespace

const TPluginDecoder ThisPlugin{InfoTexts, std::size(InfoTexts), 6, Accepts, ReadInfo, Decode};
