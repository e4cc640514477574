// Each plug-in's own decoding: rows come back bottom-up in blue-green-red, 24 bits a pixel, 32
// with transparency (composed onto white), 8 with a colour table. JPEG is lossy, so flat areas
// are compared with a small tolerance.
#include "plugins/PluginHarness.h"

#include <gtest/gtest.h>
#include <png.h>

namespace {

void ExpectPixelNear(const TDecodeResult& result, int x, int y, const TRgb& expected, int tolerance)
{
    ASSERT_EQ(result.code, SpiSuccess);
    const TRgb pixel = result.picture->Pixel(x, y);
    EXPECT_TRUE(Near(pixel, expected, tolerance)) << x << "," << y << " is " << pixel << ", not " << expected;
}

TEST(PngPlugin, EveryColourTypeAndInterlacedRowsComeBackPixelForPixel)
{
    const TPluginUnderTest plugin("ifpng.spi");
    // Width 5: 15 bytes a row, padded to 16. Every pixel differs: red 10 x, green 10 y, blue x + y.
    TPngPicture rgb{5, 7, PNG_COLOR_TYPE_RGB, 8, true};
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            rgb.samples.insert(rgb.samples.end(), {uint8_t(10 * x), uint8_t(10 * y), uint8_t(x + y)});
    const TDecodeResult result = plugin.Decode(EncodePng(rgb));
    ASSERT_EQ(result.code, SpiSuccess);
    EXPECT_EQ(result.picture->Width(), 5);
    EXPECT_EQ(result.picture->Height(), 7);
    EXPECT_EQ(result.picture->BitCount(), 24);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(result.picture->Pixel(x, y), (TRgb{10 * x, 10 * y, x + y})) << x << "," << y;

    const struct {
        TPngPicture source;
        int bitCount;
        std::vector<TRgb> pixels;  // the first row
    } cases[] = {
        {{3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, {}, {}, {0, 0, 255, 255, 255, 0, 0, 0, 0, 200, 0, 128}},
         32,
         {{0, 0, 255}, {255, 255, 255}, {127, 227, 127}}},
        {{4, 1, PNG_COLOR_TYPE_PALETTE, 2, false, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}}, {255, 255, 0},
          {0b00011011}},
         32,
         {{255, 0, 0}, {0, 255, 0}, {255, 255, 255}, {10, 20, 30}}},
        {{3, 1, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, {0, 128, 255}}, 24, {{0, 0, 0}, {128, 128, 128}, {255, 255, 255}}},
        {{1, 1, PNG_COLOR_TYPE_RGB, 16, false, {}, {}, {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x00}}, 24, {{0x12, 0xAB, 0xFF}}},
    };
    for (const auto& [source, bitCount, pixels] : cases) {
        const TDecodeResult other = plugin.Decode(EncodePng(source));
        ASSERT_EQ(other.code, SpiSuccess) << source.colorType;
        EXPECT_EQ(other.picture->BitCount(), bitCount) << source.colorType;
        for (size_t x = 0; x < pixels.size(); ++x)
            ExpectPixelNear(other, int(x), 0, pixels[x], 1);
    }
    // A damaged checksum is not silently decoded.
    TBytes badCrc = EncodePng({20, 20, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, Pattern(400, 3)});
    badCrc[30] ^= 0x55;
    EXPECT_EQ(plugin.Decode(badCrc).code, SpiBrokenData);
}

// Four flat quadrants: red, green / blue, white. The top left stays red only if the rows come
// back bottom-up and the channels blue-green-red.
TJpegPicture Quadrants(bool progressive, int size)
{
    const TRgb quadrant[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    TJpegPicture source{size, size, 3, progressive};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const TRgb c = quadrant[2 * (2 * y / size) + 2 * x / size];
            source.samples.insert(source.samples.end(), {uint8_t(c.red), uint8_t(c.green), uint8_t(c.blue)});
        }
    return source;
}

TEST(JpegPlugin, ColourGreyAndCmykPicturesAndATruncatedOneAsFarAsItGoes)
{
    const TPluginUnderTest plugin("ifjpeg.spi");
    for (const bool progressive : {false, true}) {
        const TDecodeResult result = plugin.Decode(EncodeJpeg(Quadrants(progressive, 32)));
        ASSERT_EQ(result.code, SpiSuccess);
        EXPECT_EQ(result.picture->BitCount(), 32);
        ExpectPixelNear(result, 4, 4, {255, 0, 0}, 6);
        ExpectPixelNear(result, 27, 4, {0, 255, 0}, 6);
        ExpectPixelNear(result, 4, 27, {0, 0, 255}, 6);
    }
    const TDecodeResult grey = plugin.Decode(EncodeJpeg({10, 3, 1, false, std::vector<uint8_t>(30, 200)}));
    ASSERT_NO_FATAL_FAILURE(ExpectPixelNear(grey, 9, 2, {200, 200, 200}, 6));
    EXPECT_EQ(grey.picture->BitCount(), 8);
    // Inverted as Adobe stores it: 255 = no ink. No cyan, full magenta and yellow, no black.
    TJpegPicture cmyk{8, 8, 4};
    for (int i = 0; i < 64; ++i)
        cmyk.samples.insert(cmyk.samples.end(), {255, 0, 0, 255});
    ExpectPixelNear(plugin.Decode(EncodeJpeg(cmyk)), 3, 3, {255, 0, 0}, 6);

    const TBytes jpeg = EncodeJpeg(Quadrants(false, 512));
    ExpectPixelNear(plugin.Decode(TBytes(jpeg.begin(), jpeg.end() - jpeg.size() / 3)), 4, 4, {255, 0, 0}, 6);
    EXPECT_EQ(plugin.Decode(TBytes(jpeg.begin(), jpeg.begin() + 40)).code, SpiBrokenData);
}

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

TEST(GifPlugin, FirstInterlacedFrameOfAnAnimationWithItsColours)
{
    // An odd height puts the interlace passes' last rows in odd places.
    const TPluginUnderTest plugin("ifgif.spi");
    const TGifFrame second{0, 0, 9, 19, false, -1, std::vector<uint8_t>(9 * 19, 3)};
    const TDecodeResult result = plugin.Decode(EncodeGif({9, 19, 0, Colours, {Frame(0, 0, 9, 19, true), second}}));
    ASSERT_EQ(result.code, SpiSuccess);
    EXPECT_EQ(result.picture->Width(), 9);
    EXPECT_EQ(result.picture->Height(), 19);
    EXPECT_EQ(result.picture->BitCount(), 8);
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(result.picture->Pixel(x, y), Colours[(x + 2 * y) % 4]) << x << "," << y;
    EXPECT_EQ(plugin.Decode(EncodeGif({20, 20, 0, Colours, {}})).code, SpiBrokenData);
}

TEST(GifPlugin, FrameSitsOnTheScreenWithTransparencyWhiteAndOneBeyondItGrowsThePicture)
{
    // A 2 x 2 frame at (3, 1) on a 6 x 4 screen; colour 2 transparent, background 3.
    const TPluginUnderTest plugin("ifgif.spi");
    TGifFrame frame{3, 1, 2, 2, false, 2, {1, 2, 0, 1}};
    const TDecodeResult result = plugin.Decode(EncodeGif({6, 4, 3, Colours, {frame}}));
    ASSERT_EQ(result.code, SpiSuccess);
    EXPECT_EQ(result.picture->Pixel(3, 1), (TRgb{255, 0, 0}));
    EXPECT_EQ(result.picture->Pixel(4, 1), (TRgb{255, 255, 255}));
    // Outside the frame the screen is transparent too, unless no colour is.
    EXPECT_EQ(result.picture->Pixel(0, 0), (TRgb{255, 255, 255}));
    frame.transparent = -1;
    EXPECT_EQ(plugin.Decode(EncodeGif({6, 4, 3, Colours, {frame}})).picture->Pixel(0, 0), (TRgb{0, 0, 255}));

    const TBytes beyond = EncodeGif({4, 4, 0, Colours, {Frame(2, 1, 5, 5)}});
    PictureInfo info{};
    ASSERT_EQ(plugin.Info(beyond, info), SpiSuccess);
    EXPECT_EQ(info.width, 7);
    EXPECT_EQ(info.height, 6);
    const TDecodeResult grown = plugin.Decode(beyond);
    ASSERT_EQ(grown.code, SpiSuccess);
    EXPECT_EQ(grown.picture->Width(), 7);
    EXPECT_EQ(grown.picture->Pixel(6, 5), Colours[(4 + 2 * 4) % 4]);
}

}  // namespace
