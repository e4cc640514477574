// ifpng.spi: every colour type comes back as blue-green-red rows, transparency on white.
#include "plugins/PluginHarness.h"

#include <gtest/gtest.h>
#include <png.h>

namespace {

class PngPlugin : public ::testing::Test {
protected:
    TPluginUnderTest plugin_{"ifpng.spi"};
};

// A picture whose every pixel differs: red = 10 x, green = 10 y, blue = x + y.
TPngPicture Gradient(int width, int height, bool interlaced)
{
    TPngPicture source{width, height, PNG_COLOR_TYPE_RGB, 8, interlaced};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            source.samples.insert(source.samples.end(), {uint8_t(10 * x), uint8_t(10 * y), uint8_t(x + y)});
    return source;
}

TEST_F(PngPlugin, PlainAndInterlacedRgbRowsComeBackBottomUpInBlueGreenRed)
{
    // Width 5: 15 bytes a row, padded to 16.
    for (const bool interlaced : {false, true}) {
        const TBytes png = EncodePng(Gradient(5, 7, interlaced));
        PictureInfo info{};
        ASSERT_EQ(plugin_.Info(png, info), SpiSuccess);
        EXPECT_EQ(info.width, 5);
        EXPECT_EQ(info.height, 7);
        EXPECT_EQ(info.colorDepth, 24);
        const TDecodeResult result = plugin_.Decode(png);
        ASSERT_EQ(result.code, SpiSuccess);
        EXPECT_EQ(result.picture->Width(), 5);
        EXPECT_EQ(result.picture->Height(), 7);
        EXPECT_EQ(result.picture->BitCount(), 24);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(result.picture->Pixel(x, y), (TRgb{10 * x, 10 * y, x + y})) << x << "," << y;
    }
}

TEST_F(PngPlugin, AlphaIsComposedOntoWhite)
{
    TPngPicture source{3, 1, PNG_COLOR_TYPE_RGB_ALPHA};
    source.samples = {0, 0, 255, 255, /**/ 255, 0, 0, 0, /**/ 0, 200, 0, 128};
    const TDecodeResult result = plugin_.Decode(EncodePng(source));
    ASSERT_EQ(result.code, SpiSuccess);
    EXPECT_EQ(result.picture->BitCount(), 32);
    EXPECT_EQ(result.picture->Pixel(0, 0), (TRgb{0, 0, 255}));
    EXPECT_EQ(result.picture->Pixel(1, 0), (TRgb{255, 255, 255}));
    const TRgb half = result.picture->Pixel(2, 0);
    EXPECT_NEAR(half.red, 127, 1);
    EXPECT_NEAR(half.green, 227, 1);
    EXPECT_NEAR(half.blue, 127, 1);
}

TEST_F(PngPlugin, PaletteWithTransparentEntry)
{
    TPngPicture source{4, 1, PNG_COLOR_TYPE_PALETTE, 2};
    source.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};
    source.paletteAlpha = {255, 255, 0};
    source.samples = {0b00011011};  // indices 0, 1, 2, 3 at two bits each
    const TDecodeResult result = plugin_.Decode(EncodePng(source));
    ASSERT_EQ(result.code, SpiSuccess);
    EXPECT_EQ(result.picture->Pixel(0, 0), (TRgb{255, 0, 0}));
    EXPECT_EQ(result.picture->Pixel(1, 0), (TRgb{0, 255, 0}));
    EXPECT_EQ(result.picture->Pixel(2, 0), (TRgb{255, 255, 255}));
    EXPECT_EQ(result.picture->Pixel(3, 0), (TRgb{10, 20, 30}));
}

TEST_F(PngPlugin, GreyAndSixteenBitSamples)
{
    TPngPicture grey{3, 2, PNG_COLOR_TYPE_GRAY};
    grey.samples = {0, 128, 255, 7, 8, 9};
    const TDecodeResult greyResult = plugin_.Decode(EncodePng(grey));
    ASSERT_EQ(greyResult.code, SpiSuccess);
    EXPECT_EQ(greyResult.picture->Pixel(1, 0), (TRgb{128, 128, 128}));
    EXPECT_EQ(greyResult.picture->Pixel(2, 1), (TRgb{9, 9, 9}));

    TPngPicture deep{1, 1, PNG_COLOR_TYPE_RGB, 16};
    deep.samples = {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x00};
    const TDecodeResult deepResult = plugin_.Decode(EncodePng(deep));
    ASSERT_EQ(deepResult.code, SpiSuccess);
    const TRgb pixel = deepResult.picture->Pixel(0, 0);
    EXPECT_NEAR(pixel.red, 0x12, 1);
    EXPECT_NEAR(pixel.green, 0xAB, 1);
    EXPECT_NEAR(pixel.blue, 0xFF, 1);
}

TEST_F(PngPlugin, BrokenAndForeignDataAreErrors)
{
    const TBytes png = EncodePng(Gradient(20, 20, false));
    EXPECT_EQ(plugin_.Decode(TBytes(png.begin(), png.begin() + png.size() / 2)).code, SpiBrokenData);
    TBytes badCrc = png;
    badCrc[30] ^= 0x55;
    EXPECT_EQ(plugin_.Decode(badCrc).code, SpiBrokenData);
    EXPECT_EQ(plugin_.Decode(TBytes{'G', 'I', 'F', '8', '9', 'a', 0, 0}).code, SpiUnknownFormat);
    EXPECT_EQ(plugin_.Decode(TBytes{}).code, SpiUnknownFormat);
}

}  // namespace
