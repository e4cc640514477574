// ifgif.spi: the first frame on the logical screen, as an 8-bit picture.
#include "plugins/PluginHarness.h"

#include <gtest/gtest.h>

namespace {

class GifPlugin : public ::testing::Test {
protected:
    TPluginUnderTest plugin_{"ifgif.spi"};
};

const std::vector<TRgb> Colours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

// A frame whose colour at x, y is Colours[(x + 2 y) % 4].
TGifFrame Frame(int left, int top, int width, int height, bool interlaced = false)
{
    TGifFrame frame{left, top, width, height, interlaced};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.indices.push_back(static_cast<uint8_t>((x + 2 * y) % 4));
    return frame;
}

TEST_F(GifPlugin, FirstFrameOfAnAnimationWithItsColoursPlainOrInterlaced)
{
    // Odd heights put the interlace passes' last rows in odd places.
    for (const bool interlaced : {false, true}) {
        const TGifFrame second{0, 0, 9, 19, false, -1, std::vector<uint8_t>(9 * 19, 3)};
        const TDecodeResult result = plugin_.Decode(EncodeGif({9, 19, 0, Colours, {Frame(0, 0, 9, 19, interlaced), second}}));
        ASSERT_EQ(result.code, SpiSuccess);
        EXPECT_EQ(result.picture->Width(), 9);
        EXPECT_EQ(result.picture->Height(), 19);
        EXPECT_EQ(result.picture->BitCount(), 8);
        for (int y = 0; y < 19; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(result.picture->Pixel(x, y), Colours[(x + 2 * y) % 4]) << interlaced << " " << x << "," << y;
    }
}

TEST_F(GifPlugin, FrameSitsOnTheScreenAndTransparencyIsWhite)
{
    // A 2 x 2 frame at (3, 1) on a 6 x 4 screen; colour 2 transparent, background 3.
    TGifFrame frame{3, 1, 2, 2, false, 2, {1, 2, 0, 1}};
    const TDecodeResult result = plugin_.Decode(EncodeGif({6, 4, 3, Colours, {frame}}));
    ASSERT_EQ(result.code, SpiSuccess);
    EXPECT_EQ(result.picture->Pixel(3, 1), (TRgb{255, 0, 0}));
    EXPECT_EQ(result.picture->Pixel(4, 1), (TRgb{255, 255, 255}));
    EXPECT_EQ(result.picture->Pixel(3, 2), (TRgb{0, 0, 0}));
    // Outside the frame the screen is transparent too, unless no colour is.
    EXPECT_EQ(result.picture->Pixel(0, 0), (TRgb{255, 255, 255}));
    frame.transparent = -1;
    const TDecodeResult opaque = plugin_.Decode(EncodeGif({6, 4, 3, Colours, {frame}}));
    ASSERT_EQ(opaque.code, SpiSuccess);
    EXPECT_EQ(opaque.picture->Pixel(0, 0), (TRgb{0, 0, 255}));
}

TEST_F(GifPlugin, FrameBeyondTheScreenGrowsThePicture)
{
    const TBytes gif = EncodeGif({4, 4, 0, Colours, {Frame(2, 1, 5, 5)}});
    PictureInfo info{};
    ASSERT_EQ(plugin_.Info(gif, info), SpiSuccess);
    EXPECT_EQ(info.width, 7);
    EXPECT_EQ(info.height, 6);
    const TDecodeResult result = plugin_.Decode(gif);
    ASSERT_EQ(result.code, SpiSuccess);
    EXPECT_EQ(result.picture->Width(), 7);
    EXPECT_EQ(result.picture->Pixel(6, 5), Colours[(4 + 2 * 4) % 4]);
}

TEST_F(GifPlugin, TruncatedOrFrameLessFileIsBroken)
{
    const TBytes gif = EncodeGif({20, 20, 0, Colours, {Frame(0, 0, 20, 20)}});
    EXPECT_EQ(plugin_.Decode(TBytes(gif.begin(), gif.end() - 20)).code, SpiBrokenData);
    EXPECT_EQ(plugin_.Decode(EncodeGif({20, 20, 0, Colours, {}})).code, SpiBrokenData);
}

}  // namespace
