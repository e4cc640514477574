// ifjpeg.spi: colour, grey, progressive and CMYK pictures; JPEG is lossy, so flat areas are
// compared with a small tolerance.
#include "plugins/PluginHarness.h"

#include <gtest/gtest.h>

namespace {

class JpegPlugin : public ::testing::Test {
protected:
    TPluginUnderTest plugin_{"ifjpeg.spi"};
};

// Four flat quadrants: red, green / blue, white.
TJpegPicture Quadrants(bool progressive, int size = 32)
{
    TJpegPicture source{size, size, 3, progressive};
    const int half = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const TRgb c = y < half ? (x < half ? TRgb{255, 0, 0} : TRgb{0, 255, 0})
                                    : (x < half ? TRgb{0, 0, 255} : TRgb{255, 255, 255});
            source.samples.insert(source.samples.end(), {uint8_t(c.red), uint8_t(c.green), uint8_t(c.blue)});
        }
    return source;
}

void ExpectNear(const TRgb& actual, const TRgb& expected, const char* where)
{
    EXPECT_NEAR(actual.red, expected.red, 6) << where;
    EXPECT_NEAR(actual.green, expected.green, 6) << where;
    EXPECT_NEAR(actual.blue, expected.blue, 6) << where;
}

void ExpectQuadrants(const TDecodeResult& result)
{
    ASSERT_EQ(result.code, SpiSuccess);
    EXPECT_EQ(result.picture->Width(), 32);
    EXPECT_EQ(result.picture->Height(), 32);
    EXPECT_EQ(result.picture->BitCount(), 32);
    // The top left stays red only if the rows are bottom-up and the channels blue-green-red.
    ExpectNear(result.picture->Pixel(4, 4), {255, 0, 0}, "top left");
    ExpectNear(result.picture->Pixel(27, 4), {0, 255, 0}, "top right");
    ExpectNear(result.picture->Pixel(4, 27), {0, 0, 255}, "bottom left");
    ExpectNear(result.picture->Pixel(27, 27), {255, 255, 255}, "bottom right");
}

TEST_F(JpegPlugin, BaselineAndProgressivePicturesComeBackInPlace)
{
    for (const bool progressive : {false, true}) {
        const TBytes jpeg = EncodeJpeg(Quadrants(progressive));
        PictureInfo info{};
        ASSERT_EQ(plugin_.Info(jpeg, info), SpiSuccess);
        EXPECT_EQ(info.width, 32);
        EXPECT_EQ(info.height, 32);
        EXPECT_EQ(info.colorDepth, 24);
        ExpectQuadrants(plugin_.Decode(jpeg));
    }
}

TEST_F(JpegPlugin, GreyPictureHasAGreyColourTable)
{
    TJpegPicture source{10, 3, 1};
    source.samples.assign(30, 200);
    const TDecodeResult result = plugin_.Decode(EncodeJpeg(source));
    ASSERT_EQ(result.code, SpiSuccess);
    EXPECT_EQ(result.picture->BitCount(), 8);
    ExpectNear(result.picture->Pixel(9, 2), {200, 200, 200}, "grey");
}

TEST_F(JpegPlugin, AdobeCmykPictureBecomesRgb)
{
    // Inverted as Adobe stores it: 255 = no ink. No cyan, full magenta and yellow, no black.
    TJpegPicture source{8, 8, 4};
    for (int i = 0; i < 64; ++i)
        source.samples.insert(source.samples.end(), {255, 0, 0, 255});
    const TDecodeResult result = plugin_.Decode(EncodeJpeg(source));
    ASSERT_EQ(result.code, SpiSuccess);
    ExpectNear(result.picture->Pixel(3, 3), {255, 0, 0}, "red");
}

TEST_F(JpegPlugin, TruncatedPictureIsDecodedAsFarAsItGoes)
{
    const TBytes jpeg = EncodeJpeg(Quadrants(false, 512));
    const TDecodeResult result = plugin_.Decode(TBytes(jpeg.begin(), jpeg.end() - jpeg.size() / 3));
    ASSERT_EQ(result.code, SpiSuccess);
    ExpectNear(result.picture->Pixel(4, 4), {255, 0, 0}, "decoded part");
    // Cut inside the header: nothing to show.
    EXPECT_EQ(plugin_.Decode(TBytes(jpeg.begin(), jpeg.begin() + 40)).code, SpiBrokenData);
}

}  // namespace
