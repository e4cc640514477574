#include "plugins/PluginHarness.h"

#include <gtest/gtest.h>

TPluginUnderTest::TPluginUnderTest(const std::string& fileName) : plugin_(std::string(MARLUX_BIN_DIR) + "/" + fileName)
{
    if (!plugin_.Loaded())
        ADD_FAILURE() << fileName << " is not in " << MARLUX_BIN_DIR << " or cannot be loaded";
}

namespace {
TDecodeResult Result(int code, void* info, void* bits)
{
    if (code != SpiSuccess) {
        EXPECT_EQ(info, nullptr) << "a failed decoding must not hand out blocks";
        return {code, std::nullopt};
    }
    return {code, TDecodedPicture(info, bits)};
}
}  // namespace

TDecodeResult TPluginUnderTest::Decode(const TBytes& bytes, SpiProgressCallback progress, intptr_t data) const
{
    void* info = nullptr;
    void* bits = nullptr;
    const int code = plugin_.GetPicture(reinterpret_cast<const char*>(bytes.data()), static_cast<intptr_t>(bytes.size()),
                                        SpiFromMemory, &info, &bits, progress, data);
    return Result(code, info, bits);
}

TDecodeResult TPluginUnderTest::DecodeFile(const std::string& path, intptr_t offset) const
{
    void* info = nullptr;
    void* bits = nullptr;
    const int code = plugin_.GetPicture(path.c_str(), offset, SpiFromFile, &info, &bits, nullptr, 0);
    return Result(code, info, bits);
}

int TPluginUnderTest::Info(const TBytes& bytes, PictureInfo& info) const
{
    return plugin_.GetPictureInfo(reinterpret_cast<const char*>(bytes.data()), static_cast<intptr_t>(bytes.size()),
                                  SpiFromMemory, &info);
}
