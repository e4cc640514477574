// ifpng.spi: every colour type comes back as blue-green-red rows, 24 bits a pixel or 32 for
// pictures with transparency, which is composed onto white.
#include "plugins/PluginHarness.h"

#include <gtest/gtest.h>
#include <png.h>

namespace {

class PngPlugin : public ::testing::Test {
protected:
    TPluginUnderTest plugin_{"ifpng.spi"};
};

TEST_F(PngPlugin, PlainAndInterlacedRgbRowsComeBackBottomUpInBlueGreenRed)
{
    // Width 5: 15 bytes a row, padded to 16. Every pixel differs: red 10 x, green 10 y, blue x + y.
    for (const bool interlaced : {false, true}) {
        TPngPicture source{5, 7, PNG_COLOR_TYPE_RGB, 8, interlaced};
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 5; ++x)
                source.samples.insert(source.samples.end(), {uint8_t(10 * x), uint8_t(10 * y), uint8_t(x + y)});
        const TDecodeResult result = plugin_.Decode(EncodePng(source));
        ASSERT_EQ(result.code, SpiSuccess);
        EXPECT_EQ(result.picture->Width(), 5);
        EXPECT_EQ(result.picture->Height(), 7);
        EXPECT_EQ(result.picture->BitCount(), 24);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(result.picture->Pixel(x, y), (TRgb{10 * x, 10 * y, x + y})) << x << "," << y;
    }
}

TEST_F(PngPlugin, OtherColourTypesAndDepths)
{
    const struct {
        const char* what;
        TPngPicture source;
        int bitCount;
        std::vector<TRgb> pixels;  // rows top first
        int tolerance;
    } cases[] = {
        {"alpha onto white",
         {3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, {}, {}, {0, 0, 255, 255, 255, 0, 0, 0, 0, 200, 0, 128}},
         32,
         {{0, 0, 255}, {255, 255, 255}, {127, 227, 127}},
         1},
        {"palette of two bits with a transparent entry",
         {4, 1, PNG_COLOR_TYPE_PALETTE, 2, false, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}}, {255, 255, 0},
          {0b00011011}},
         32,
         {{255, 0, 0}, {0, 255, 0}, {255, 255, 255}, {10, 20, 30}},
         0},
        {"grey",
         {3, 2, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, {0, 128, 255, 7, 8, 9}},
         24,
         {{0, 0, 0}, {128, 128, 128}, {255, 255, 255}, {7, 7, 7}, {8, 8, 8}, {9, 9, 9}},
         0},
        {"sixteen bits a sample",
         {1, 1, PNG_COLOR_TYPE_RGB, 16, false, {}, {}, {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x00}},
         24,
         {{0x12, 0xAB, 0xFF}},
         1},
    };
    for (const auto& [what, source, bitCount, pixels, tolerance] : cases) {
        const TDecodeResult result = plugin_.Decode(EncodePng(source));
        ASSERT_EQ(result.code, SpiSuccess) << what;
        EXPECT_EQ(result.picture->BitCount(), bitCount) << what;
        for (size_t i = 0; i < pixels.size(); ++i) {
            const TRgb pixel = result.picture->Pixel(int(i) % source.width, int(i) / source.width);
            EXPECT_TRUE(Near(pixel, pixels[i], tolerance)) << what << ": pixel " << i << " is " << pixel;
        }
    }
}

TEST_F(PngPlugin, BrokenAndForeignDataAreErrors)
{
    const TBytes png = EncodePng({20, 20, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, Pattern(400, 3)});
    EXPECT_EQ(plugin_.Decode(TBytes(png.begin(), png.begin() + png.size() / 2)).code, SpiBrokenData);
    TBytes badCrc = png;
    badCrc[30] ^= 0x55;
    EXPECT_EQ(plugin_.Decode(badCrc).code, SpiBrokenData);
    EXPECT_EQ(plugin_.Decode(TBytes{'G', 'I', 'F', '8', '9', 'a', 0, 0}).code, SpiUnknownFormat);
    EXPECT_EQ(plugin_.Decode(TBytes{}).code, SpiUnknownFormat);
}

}  // namespace
