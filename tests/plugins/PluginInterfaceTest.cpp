// What every plug-in does the same way: its info entries, the signature test on an open file,
// reading from a file and an offset, cancelling, and unreadable input.
#include "fixtures/TempDir.h"
#include "plugins/PluginHarness.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

// A 3 x 3 grey picture of level 77 in each format.
TBytes SamplePng()
{
    return EncodePng({3, 3, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, std::vector<uint8_t>(9, 77)});
}

TBytes SampleJpeg()
{
    return EncodeJpeg({3, 3, 1, false, std::vector<uint8_t>(9, 77)});
}

TBytes SampleGif()
{
    return EncodeGif({3, 3, 0, {{77, 77, 77}, {0, 0, 0}}, {{0, 0, 3, 3, false, -1, std::vector<uint8_t>(9, 0)}}});
}

struct TPluginCase {
    const char* fileName;
    TBytes (*sample)();
    void (*setSize)(TBytes&, uint32_t width, uint32_t height);
    uint32_t largestSide;  // the largest the format can declare
};

class PluginInterface : public ::testing::TestWithParam<TPluginCase> {
protected:
    std::string WriteSample(const std::string& name, const TBytes& prefix = {}) const
    {
        TBytes bytes = prefix;
        const TBytes sample = GetParam().sample();
        bytes.insert(bytes.end(), sample.begin(), sample.end());
        TempDir::WriteFile(dir_.File(name), std::string(bytes.begin(), bytes.end()));
        return dir_.File(name);
    }

    TPluginUnderTest plugin_{GetParam().fileName};
    TempDir dir_;
};

TEST_P(PluginInterface, InfoEntriesStopAfterOneFormatAndAShortBufferGetsWhatFits)
{
    char buffer[80];
    ASSERT_EQ(plugin_.Api().GetPluginInfo(0, buffer, sizeof buffer), 4);
    EXPECT_STREQ(buffer, "00IN");
    EXPECT_EQ(plugin_.Api().GetPluginInfo(4, buffer, sizeof buffer), 0);
    EXPECT_EQ(plugin_.Api().GetPluginInfo(-1, buffer, sizeof buffer), 0);
    plugin_.Api().GetPluginInfo(2, buffer, sizeof buffer);
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(plugin_.Api().GetPluginInfo(2, small, sizeof small), 3);
    EXPECT_EQ(std::string(small), std::string(buffer, 3));
    EXPECT_EQ(plugin_.Api().GetPluginInfo(2, nullptr, 80), 0);
}

TEST_P(PluginInterface, SupportsItsOwnFilesWhateverTheirNameAndLeavesThePosition)
{
    // Each file is opened read-only, as the program asks.
    for (TBytes (*sample)() : {SamplePng, SampleJpeg, SampleGif, +[] { return TBytes{}; }}) {
        const TBytes bytes = sample();
        const std::string path = dir_.File("picture.jpg");
        TempDir::WriteFile(path, std::string(bytes.begin(), bytes.end()));
        const int fd = open(path.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(plugin_.Api().IsSupported(path.c_str(), fd) != 0, sample == GetParam().sample) << bytes.size();
        EXPECT_EQ(lseek(fd, 0, SEEK_CUR), 0);
        close(fd);
    }
    EXPECT_EQ(plugin_.Api().IsSupported(WriteSample("own").c_str(), -1), 0);
}

TEST_P(PluginInterface, DecodesFromAFileAtAnOffsetAndUnreadableInputIsAReadError)
{
    const TDecodeResult inside = plugin_.DecodeFile(WriteSample("b", TBytes(100, 'z')), 100);
    ASSERT_EQ(inside.code, SpiSuccess);
    EXPECT_EQ(inside.picture->Pixel(2, 2), (TRgb{77, 77, 77}));
    PictureInfo info{};
    EXPECT_EQ(plugin_.Api().GetPictureInfo(WriteSample("c").c_str(), 0, SpiFromFile, &info), SpiSuccess);
    EXPECT_EQ(info.height, 3);
    EXPECT_EQ(plugin_.DecodeFile(dir_.File("missing")).code, SpiReadError);
    EXPECT_EQ(plugin_.DecodeFile(dir_.Path()).code, SpiReadError);
    EXPECT_EQ(plugin_.DecodeFile(WriteSample("short"), 1 << 20).code, SpiReadError);
    // A named pipe nobody writes to must not block the caller.
    ASSERT_EQ(mkfifo(dir_.File("pipe").c_str(), 0600), 0);
    EXPECT_EQ(plugin_.DecodeFile(dir_.File("pipe")).code, SpiReadError);
}

TEST_P(PluginInterface, OversizedDeclaredPictureIsRefusedAndTheProgressCallbackCancels)
{
    const uint32_t largest = GetParam().largestSide;
    for (const auto& [width, height] : {std::pair{16385u, 1u}, {1u, 16385u}, {12000u, 9000u}, {largest, 2u}}) {
        TBytes bytes = GetParam().sample();
        GetParam().setSize(bytes, width, height);
        EXPECT_EQ(plugin_.Decode(bytes).code, SpiOutOfMemory) << width << " x " << height;
    }
    // Any answer but 0 cancels.
    int calls = 0;
    const auto cancel = [](int, int, intptr_t counter) { return ++*reinterpret_cast<int*>(counter); };
    EXPECT_EQ(plugin_.Decode(GetParam().sample(), cancel, reinterpret_cast<intptr_t>(&calls)).code, SpiCancelled);
    EXPECT_EQ(calls, 1);
}

INSTANTIATE_TEST_SUITE_P(Plugins, PluginInterface,
                         ::testing::Values(TPluginCase{"ifjpeg.spi", SampleJpeg, SetJpegSize, 65500},
                                           TPluginCase{"ifpng.spi", SamplePng, SetPngSize, 0x7FFFFFFF},
                                           TPluginCase{"ifgif.spi", SampleGif, SetGifScreenSize, 65535}),
                         [](const auto& info) { return std::string(info.param.fileName).substr(2, 3); });

}  // namespace
