// ifjpeg.spi: colour, grey, progressive and CMYK pictures; JPEG is lossy, so flat areas are
// compared with a small tolerance.
#include "plugins/PluginHarness.h"

#include <gtest/gtest.h>

namespace {

class JpegPlugin : public ::testing::Test {
protected:
    TPluginUnderTest plugin_{"ifjpeg.spi"};
};

// Four flat quadrants: red, green / blue, white. The top left stays red only if the rows come
// back bottom-up and the channels blue-green-red.
const TRgb Quadrant[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

TJpegPicture Quadrants(bool progressive, int size)
{
    TJpegPicture source{size, size, 3, progressive};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const TRgb c = Quadrant[2 * (2 * y / size) + 2 * x / size];
            source.samples.insert(source.samples.end(), {uint8_t(c.red), uint8_t(c.green), uint8_t(c.blue)});
        }
    return source;
}

void ExpectPixelNear(const TDecodeResult& result, int x, int y, const TRgb& expected)
{
    ASSERT_EQ(result.code, SpiSuccess);
    const TRgb pixel = result.picture->Pixel(x, y);
    EXPECT_TRUE(Near(pixel, expected, 6)) << x << "," << y << " is " << pixel << ", not " << expected;
}

TEST_F(JpegPlugin, BaselineAndProgressivePicturesComeBackInPlace)
{
    for (const bool progressive : {false, true}) {
        const TDecodeResult result = plugin_.Decode(EncodeJpeg(Quadrants(progressive, 32)));
        ASSERT_EQ(result.code, SpiSuccess);
        EXPECT_EQ(result.picture->Width(), 32);
        EXPECT_EQ(result.picture->Height(), 32);
        EXPECT_EQ(result.picture->BitCount(), 32);
        for (int quadrant = 0; quadrant < 4; ++quadrant)
            ExpectPixelNear(result, quadrant % 2 ? 27 : 4, quadrant / 2 ? 27 : 4, Quadrant[quadrant]);
    }
}

TEST_F(JpegPlugin, GreyPictureHasAGreyColourTableAndAdobeCmykBecomesRgb)
{
    const TDecodeResult grey = plugin_.Decode(EncodeJpeg({10, 3, 1, false, std::vector<uint8_t>(30, 200)}));
    ASSERT_NO_FATAL_FAILURE(ExpectPixelNear(grey, 9, 2, {200, 200, 200}));
    EXPECT_EQ(grey.picture->BitCount(), 8);
    // Inverted as Adobe stores it: 255 = no ink. No cyan, full magenta and yellow, no black.
    TJpegPicture cmyk{8, 8, 4};
    for (int i = 0; i < 64; ++i)
        cmyk.samples.insert(cmyk.samples.end(), {255, 0, 0, 255});
    ExpectPixelNear(plugin_.Decode(EncodeJpeg(cmyk)), 3, 3, {255, 0, 0});
}

TEST_F(JpegPlugin, TruncatedPictureIsDecodedAsFarAsItGoes)
{
    const TBytes jpeg = EncodeJpeg(Quadrants(false, 512));
    ExpectPixelNear(plugin_.Decode(TBytes(jpeg.begin(), jpeg.end() - jpeg.size() / 3)), 4, 4, {255, 0, 0});
    // Cut inside the header: nothing to show.
    EXPECT_EQ(plugin_.Decode(TBytes(jpeg.begin(), jpeg.begin() + 40)).code, SpiBrokenData);
}

}  // namespace
