// Truncated and mutated pictures through every plug-in: any result code is fine, a crash, a
// hang, a leak or a read outside the input is not (the sanitizer build checks the last two).
// The seed is fixed and the rounds bounded in time.
#include "plugins/PluginHarness.h"

#include <gtest/gtest.h>
#include <png.h>

#include <chrono>
#include <random>

namespace {

std::vector<TBytes> Seeds(const std::string& plugin)
{
    if (plugin == "ifpng.spi")
        return {EncodePng({24, 16, PNG_COLOR_TYPE_RGB_ALPHA, 8, true, {}, {}, Pattern(24 * 16 * 4, 7)}),
                EncodePng({16, 16, PNG_COLOR_TYPE_PALETTE, 4, false, std::vector<TRgb>(16, {1, 2, 3}), {0, 128},
                           Pattern(16 * 8, 13)})};
    if (plugin == "ifjpeg.spi")
        return {EncodeJpeg({24, 16, 3, false, Pattern(24 * 16 * 3, 5)}),
                EncodeJpeg({24, 16, 3, true, Pattern(24 * 16 * 3, 5)})};
    const TGifFrame frame{1, 1, 20, 12, true, 3, Pattern(20 * 12, 1, 16)};
    return {EncodeGif({24, 16, 2, std::vector<TRgb>(16, {9, 8, 7}), {frame, frame}})};
}

// PNG chunks carry checksums; mutations get fresh ones now and then, so they reach the
// decompression and row filters instead of stopping at the checksum test.
TBytes Mutate(const TBytes& seed, std::mt19937& random, bool png)
{
    TBytes bytes = seed;
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < edits && !bytes.empty(); ++i) {
        const size_t at = random() % bytes.size();
        switch (random() % 4) {
        case 0: bytes[at] = static_cast<unsigned char>(random()); break;
        case 1: bytes[at] ^= static_cast<unsigned char>(1u << (random() % 8)); break;
        case 2: bytes[at] = (random() % 2) ? 0xFF : 0x00; break;
        default: bytes.resize(at); break;
        }
    }
    if (png && random() % 4 != 0)
        FixPngChecksums(bytes);
    return bytes;
}

class PluginFuzz : public ::testing::TestWithParam<const char*> {
protected:
    // Decodes within a time limit and, on success, checks the picture's shape and reads its last
    // pixel (rows are stored bottom-up), so a short pixel block would show.
    void Check(const TBytes& bytes)
    {
        const auto start = std::chrono::steady_clock::now();
        PictureInfo info{};
        const int infoCode = plugin_.Info(bytes, info);
        const TDecodeResult result = plugin_.Decode(bytes);
        ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
        ASSERT_TRUE(result.code == SpiSuccess || result.code == SpiUnknownFormat || result.code == SpiBrokenData ||
                    result.code == SpiOutOfMemory)
            << result.code;
        if (result.code != SpiSuccess)
            return;
        ++decoded_;
        ASSERT_EQ(infoCode, SpiSuccess);
        ASSERT_EQ(result.picture->Width(), info.width);
        ASSERT_EQ(result.picture->Height(), info.height);
        static_cast<void>(result.picture->Pixel(info.width - 1, 0));
    }

    TPluginUnderTest plugin_{GetParam()};
    int decoded_ = 0;
};

TEST_P(PluginFuzz, EveryTruncationAndMutatedPicturesAreHandled)
{
    const std::vector<TBytes> seeds = Seeds(GetParam());
    for (const TBytes& seed : seeds)
        for (size_t length = 0; length < seed.size(); ++length) {
            SCOPED_TRACE("truncated to " + std::to_string(length));
            ASSERT_NO_FATAL_FAILURE(Check(TBytes(seed.begin(), seed.begin() + length)));
        }
    decoded_ = 0;
    std::mt19937 random(20261207);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (int round = 0; std::chrono::steady_clock::now() < end; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_NO_FATAL_FAILURE(Check(Mutate(seeds[round % seeds.size()], random, std::string(GetParam()) == "ifpng.spi")));
    }
    // The mutations must leave some pictures decodable, or they test only the header checks.
    EXPECT_GE(decoded_, 50);
}

INSTANTIATE_TEST_SUITE_P(Plugins, PluginFuzz, ::testing::Values("ifjpeg.spi", "ifpng.spi", "ifgif.spi"),
                         [](const auto& info) { return std::string(info.param).substr(2, 3); });

}  // namespace
