// What every plug-in does the same way: its info entries, the signature test on an open file,
// reading from a file at an offset, refusing oversized pictures, cancelling, and surviving
// truncated and mutated pictures. There any result code is fine; a crash, a hang, a leak or a
// read outside the input is not (the sanitizer build checks the last two).
#include "fixtures/TempDir.h"
#include "plugins/PluginHarness.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <random>
#include <stdexcept>
#include <string>

namespace {

// Bytes i * step % modulo, for pictures whose content only has to vary.
std::vector<uint8_t> Pattern(size_t count, int step, int modulo = 256)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(i * step % modulo);
    return bytes;
}

// Writes the low `count` bytes of a number, the most significant first unless littleEndian.
void PutNumber(TBytes& bytes, size_t at, uint32_t value, int count, bool littleEndian = false)
{
    for (int i = 0; i < count; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(value >> 8 * (littleEndian ? i : count - 1 - i));
}

// Recomputes the checksum of every whole chunk of a PNG.
void FixPngChecksums(TBytes& png)
{
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const size_t length =
            size_t{png[at]} << 24 | size_t{png[at + 1]} << 16 | size_t{png[at + 2]} << 8 | png[at + 3];
        if (length > png.size() - at - 12)
            return;
        const uLong crc = crc32(crc32(0, nullptr, 0), png.data() + at + 4, static_cast<uInt>(length + 4));
        PutNumber(png, at + 8 + length, static_cast<uint32_t>(crc), 4);
        at += length + 12;
    }
}

// Rewrite the declared picture size in a PNG's header chunk (with its checksum), a JPEG's
// start-of-frame segment or a GIF's logical screen.
void SetPngSize(TBytes& png, uint32_t width, uint32_t height)
{
    // Signature (8), chunk length (4), "IHDR" (4), then width and height.
    PutNumber(png, 16, width, 4);
    PutNumber(png, 20, height, 4);
    FixPngChecksums(png);
}

void SetJpegSize(TBytes& jpeg, uint32_t width, uint32_t height)
{
    // Segment length (2) and sample precision (1), then height and width.
    for (size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            PutNumber(jpeg, i + 5, height, 2);
            PutNumber(jpeg, i + 7, width, 2);
            return;
        }
    throw std::runtime_error("no start-of-frame segment");
}

void SetGifScreenSize(TBytes& gif, uint32_t width, uint32_t height)
{
    // After the six signature bytes.
    PutNumber(gif, 6, width, 2, true);
    PutNumber(gif, 8, height, 2, true);
}

// Pictures that reach each decoder's paths: interlaced, palette, progressive.
std::vector<TBytes> Seeds(const std::string& plugin)
{
    if (plugin == "ifpng.spi")
        return {EncodePng(24, 16, PNG_COLOR_TYPE_RGB_ALPHA, 8, Pattern(24 * 16 * 4, 7), true),
                EncodePng(16, 16, PNG_COLOR_TYPE_PALETTE, 4, Pattern(16 * 8, 13), false,
                          std::vector<png_color>(16, {1, 2, 3}), {0, 128})};
    if (plugin == "ifjpeg.spi")
        return {EncodeJpeg(24, 16, 3, Pattern(24 * 16 * 3, 5)), EncodeJpeg(24, 16, 3, Pattern(24 * 16 * 3, 5), true)};
    // The frame reaches beyond the screen, so the picture grows to 25 x 17.
    const TGifFrame frame{5, 5, 20, 12, true, 3, Pattern(20 * 12, 1, 16)};
    return {EncodeGif(16, 8, 2, std::vector<TRgb>(16, {9, 8, 7}), {frame, frame})};
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

struct TPluginCase {
    const char* fileName;
    void (*setSize)(TBytes&, uint32_t width, uint32_t height);
    uint32_t largestSide;  // the largest the format can declare
};

// Test listings name the case by its plug-in rather than by the case's bytes.
void PrintTo(const TPluginCase& param, std::ostream* out)
{
    *out << param.fileName;
}

class PluginInterface : public ::testing::TestWithParam<TPluginCase> {
protected:
    // Decodes within a time limit and, on success, checks the picture's shape and reads its last
    // pixel (rows are stored bottom-up), so a short pixel block would show.
    void Check(const TBytes& bytes)
    {
        const auto start = std::chrono::steady_clock::now();
        PictureInfo info{};
        const int infoCode = plugin_.GetPictureInfo(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<intptr_t>(bytes.size()), SpiFromMemory, &info);
        const TDecodeResult result = plugin_.Decode(bytes);
        ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
        ASSERT_TRUE(result.code == SpiSuccess || result.code == SpiUnknownFormat || result.code == SpiBrokenData ||
                    result.code == SpiOutOfMemory)
            << result.code;
        if (result.code != SpiSuccess)
            return;
        ++decoded_;
        ASSERT_EQ(infoCode, SpiSuccess);
        const BitmapInfoHeader header = result.Header();
        ASSERT_EQ(std::pair(header.biWidth, header.biHeight), std::pair(info.width, info.height));
        static_cast<void>(result.Pixel(info.width - 1, 0));
    }

    const std::vector<TBytes> seeds_ = Seeds(GetParam().fileName);
    TPluginUnderTest plugin_{GetParam().fileName};
    TempDir dir_;
    int decoded_ = 0;
};

TEST_P(PluginInterface, InfoEntriesSignatureTestFileOffsetsUnreadableInputOversizedPicturesAndCancelling)
{
    char buffer[80];
    EXPECT_EQ(plugin_.GetPluginInfo(4, buffer, sizeof buffer), 0);
    EXPECT_EQ(plugin_.GetPluginInfo(-1, buffer, sizeof buffer), 0);
    ASSERT_GT(plugin_.GetPluginInfo(2, buffer, sizeof buffer), 3);
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(plugin_.GetPluginInfo(2, small, sizeof small), 3);
    EXPECT_EQ(std::string(small), std::string(buffer, 3));
    EXPECT_EQ(plugin_.GetPluginInfo(2, nullptr, 80), 0);

    // The signature test takes its own files whatever their name, on a read-only descriptor.
    const std::string path = dir_.File("picture.jpg");
    for (const char* format : {"ifjpeg.spi", "ifpng.spi", "ifgif.spi", ""}) {
        const TBytes bytes = *format ? Seeds(format)[0] : TBytes{};
        TempDir::WriteFile(path, std::string(bytes.begin(), bytes.end()));
        const int fd = open(path.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(plugin_.IsSupported(path.c_str(), fd) != 0, format == std::string(GetParam().fileName)) << format;
        close(fd);
    }
    EXPECT_EQ(plugin_.IsSupported(path.c_str(), -1), 0);

    // A file is read from the offset given; what cannot be read is a read error.
    TempDir::WriteFile(path, std::string(100, 'z') + std::string(seeds_[0].begin(), seeds_[0].end()));
    const TDecodeResult inMemory = plugin_.Decode(seeds_[0]);
    const TDecodeResult inFile = plugin_.DecodeFile(path, 100);
    ASSERT_EQ(inFile.code, SpiSuccess);
    EXPECT_EQ(inFile.Pixel(5, 5), inMemory.Pixel(5, 5));
    PictureInfo info{};
    EXPECT_EQ(plugin_.GetPictureInfo(path.c_str(), 100, SpiFromFile, &info), SpiSuccess);
    EXPECT_EQ(info.height, inMemory.Header().biHeight);
    EXPECT_EQ(plugin_.DecodeFile(path, 1 << 20).code, SpiReadError);
    // A named pipe nobody writes to must not block the caller.
    ASSERT_EQ(mkfifo(dir_.File("pipe").c_str(), 0600), 0);
    for (const std::string& unreadable : {dir_.File("missing"), dir_.Path(), dir_.File("pipe")})
        EXPECT_EQ(plugin_.DecodeFile(unreadable).code, SpiReadError) << unreadable;

    // Oversized declared pictures are refused before anything is allocated.
    const uint32_t largest = GetParam().largestSide;
    for (const auto& [width, height] : {std::pair{16385u, 1u}, {1u, 16385u}, {12000u, 9000u}, {largest, 2u}}) {
        TBytes bytes = seeds_[0];
        GetParam().setSize(bytes, width, height);
        EXPECT_EQ(plugin_.Decode(bytes).code, SpiOutOfMemory) << width << " x " << height;
    }
    // Any answer but 0 cancels.
    int calls = 0;
    const auto cancel = [](int, int, intptr_t counter) { return ++*reinterpret_cast<int*>(counter); };
    EXPECT_EQ(plugin_.Decode(seeds_[0], cancel, reinterpret_cast<intptr_t>(&calls)).code, SpiCancelled);
    EXPECT_EQ(calls, 1);
}

TEST_P(PluginInterface, EveryTruncationAndMutatedPicturesAreHandled)
{
    for (const TBytes& seed : seeds_)
        for (size_t length = 0; length < seed.size(); ++length) {
            SCOPED_TRACE("truncated to " + std::to_string(length));
            ASSERT_NO_FATAL_FAILURE(Check(TBytes(seed.begin(), seed.begin() + length)));
        }
    decoded_ = 0;
    std::mt19937 random(20261207);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (int round = 0; std::chrono::steady_clock::now() < end; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const bool png = GetParam().setSize == SetPngSize;
        ASSERT_NO_FATAL_FAILURE(Check(Mutate(seeds_[round % seeds_.size()], random, png)));
    }
    // The mutations must leave some pictures decodable, or they test only the header checks.
    EXPECT_GE(decoded_, 50);
}

INSTANTIATE_TEST_SUITE_P(Plugins, PluginInterface,
                         ::testing::Values(TPluginCase{"ifjpeg.spi", SetJpegSize, 65500},
                                           TPluginCase{"ifpng.spi", SetPngSize, 0x7FFFFFFF},
                                           TPluginCase{"ifgif.spi", SetGifScreenSize, 65535}),
                         [](const auto& info) { return std::string(info.param.fileName).substr(2, 3); });

}  // namespace
