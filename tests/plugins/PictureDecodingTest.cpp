// Each plug-in's own decoding: rows come back bottom-up in blue-green-red, 24 bits a pixel, 32
// with transparency (composed onto white), 8 with a colour table. JPEG is lossy, so flat areas
// are compared with a tolerance.
#include "plugins/PluginHarness.h"

#include <gtest/gtest.h>

namespace {

void ExpectPixelNear(const TDecodeResult& result, int x, int y, const TRgb& expected, int tolerance)
{
    ASSERT_EQ(result.code, SpiSuccess);
    const TRgb pixel = result.Pixel(x, y);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(pixel[c], expected[c], tolerance) << x << "," << y << " is " << testing::PrintToString(pixel);
}

TEST(PngPlugin, InterlacedRowsAndEveryColourTypeComeBackPixelForPixel)
{
    const TPluginUnderTest plugin("ifpng.spi");
    // Width 5: 15 bytes a row, padded to 16. Every pixel differs: red 10 x, green 10 y, blue x + y.
    std::vector<uint8_t> samples;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            samples.insert(samples.end(), {uint8_t(10 * x), uint8_t(10 * y), uint8_t(x + y)});
    const TDecodeResult result = plugin.Decode(EncodePng(5, 7, PNG_COLOR_TYPE_RGB, 8, samples, true));
    ASSERT_EQ(result.code, SpiSuccess);
    EXPECT_EQ(result.Header().biBitCount, 24);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(result.Pixel(x, y), (TRgb{10 * x, 10 * y, x + y})) << x << "," << y;

    const struct {
        TBytes png;
        int bitCount;
        std::vector<TRgb> pixels;  // the first row
    } cases[] = {
        {EncodePng(3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {0, 0, 255, 255, 255, 0, 0, 0, 0, 200, 0, 128}),
         32,
         {{0, 0, 255}, {255, 255, 255}, {127, 227, 127}}},
        {EncodePng(3, 1, PNG_COLOR_TYPE_PALETTE, 2, {0b00011000}, false, {{255, 0, 0}, {0, 255, 0}, {10, 20, 30}},
                   {255, 0}),
         32,
         {{255, 0, 0}, {255, 255, 255}, {10, 20, 30}}},
        {EncodePng(3, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 128, 255}), 24, {{0, 0, 0}, {128, 128, 128}, {255, 255, 255}}},
        {EncodePng(1, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x00}), 24, {{0x12, 0xAB, 0xFF}}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("colour type case " + std::to_string(i));
        const TDecodeResult other = plugin.Decode(cases[i].png);
        ASSERT_EQ(other.code, SpiSuccess);
        EXPECT_EQ(other.Header().biBitCount, cases[i].bitCount);
        for (size_t x = 0; x < cases[i].pixels.size(); ++x)
            ExpectPixelNear(other, int(x), 0, cases[i].pixels[x], 1);
    }
}

// Whole colour pictures are checked through the preview's plug-in manager.
TEST(JpegPlugin, ATruncatedColourPictureAsFarAsItGoesAndAGreyOne)
{
    // A red top left quarter, blue elsewhere: it stays in place only if the rows come back
    // bottom-up and the channels blue-green-red.
    const TPluginUnderTest plugin("ifjpeg.spi");
    std::vector<uint8_t> samples;
    for (int i = 0; i < 256 * 256; ++i) {
        const bool red = i % 256 < 128 && i / 256 < 128;
        samples.insert(samples.end(), {uint8_t(red ? 255 : 0), 0, uint8_t(red ? 0 : 255)});
    }
    const TBytes jpeg = EncodeJpeg(256, 256, 3, samples);
    ExpectPixelNear(plugin.Decode(TBytes(jpeg.begin(), jpeg.end() - jpeg.size() / 3)), 4, 4, {255, 0, 0}, 6);
    EXPECT_EQ(plugin.Decode(TBytes(jpeg.begin(), jpeg.begin() + 40)).code, SpiBrokenData);

    const TDecodeResult grey = plugin.Decode(EncodeJpeg(10, 3, 1, std::vector<uint8_t>(30, 200)));
    ASSERT_NO_FATAL_FAILURE(ExpectPixelNear(grey, 9, 2, {200, 200, 200}, 6));
    EXPECT_EQ(grey.Header().biBitCount, 8);
}

TEST(GifPlugin, FirstInterlacedFrameOnTheScreenWithTransparencyWhiteAndOneBeyondItGrowsThePicture)
{
    // Colour (x + 2 y) % 4 at x, y; an odd height puts the interlace passes' last rows in odd places.
    const TPluginUnderTest plugin("ifgif.spi");
    const std::vector<TRgb> colours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    TGifFrame frame{0, 0, 9, 19, true};
    for (int i = 0; i < 9 * 19; ++i)
        frame.indices.push_back(static_cast<uint8_t>((i % 9 + 2 * (i / 9)) % 4));
    const TGifFrame second{0, 0, 9, 19, false, -1, std::vector<uint8_t>(9 * 19, 3)};
    const TDecodeResult result = plugin.Decode(EncodeGif(9, 19, 0, colours, {frame, second}));
    ASSERT_EQ(result.code, SpiSuccess);
    EXPECT_EQ(result.Header().biBitCount, 8);
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(result.Pixel(x, y), colours[(x + 2 * y) % 4]) << x << "," << y;
    EXPECT_EQ(plugin.Decode(EncodeGif(9, 19, 0, colours, {})).code, SpiBrokenData);

    // A frame beyond the screen grows the picture; the screen around it and colour 2 (transparent) are white.
    const TDecodeResult grown = plugin.Decode(EncodeGif(4, 4, 3, colours, {{2, 1, 9, 19, false, 2, frame.indices}}));
    ASSERT_EQ(grown.code, SpiSuccess);
    EXPECT_EQ(std::pair(grown.Header().biWidth, grown.Header().biHeight), std::pair(11, 20));
    const TRgb white{255, 255, 255};
    EXPECT_EQ((std::vector{grown.Pixel(10, 19), grown.Pixel(3, 1), grown.Pixel(4, 1), grown.Pixel(0, 0)}),
              (std::vector{colours[(8 + 2 * 18) % 4], colours[1], white, white}));
}

}  // namespace
