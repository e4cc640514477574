#include "plugins/PluginHarness.h"

#include <gtest/gtest.h>

TPluginUnderTest::TPluginUnderTest(const std::string& fileName) : plugin_(std::string(MARLUX_BIN_DIR) + "/" + fileName)
{
    if (!plugin_.Loaded())
        ADD_FAILURE() << fileName << " is not in " << MARLUX_BIN_DIR << " or cannot be loaded";
}

TDecodeResult TPluginUnderTest::Decode(const TBytes& bytes, SpiProgressCallback progress, intptr_t data) const
{
    return GetPicture(reinterpret_cast<const char*>(bytes.data()), static_cast<intptr_t>(bytes.size()), SpiFromMemory,
                      progress, data);
}

TDecodeResult TPluginUnderTest::DecodeFile(const std::string& path, intptr_t offset) const
{
    return GetPicture(path.c_str(), offset, SpiFromFile, nullptr, 0);
}

TDecodeResult TPluginUnderTest::GetPicture(const char* source, intptr_t lengthOrOffset, unsigned flag,
                                           SpiProgressCallback progress, intptr_t data) const
{
    void* info = nullptr;
    void* bits = nullptr;
    const int code = plugin_.GetPicture(source, lengthOrOffset, flag, &info, &bits, progress, data);
    if (code == SpiSuccess)
        return {code, TDecodedPicture(info, bits)};
    EXPECT_EQ(info, nullptr) << "a failed decoding must not hand out blocks";
    return {code, std::nullopt};
}

int TPluginUnderTest::Info(const TBytes& bytes, PictureInfo& info) const
{
    return plugin_.GetPictureInfo(reinterpret_cast<const char*>(bytes.data()), static_cast<intptr_t>(bytes.size()),
                                  SpiFromMemory, &info);
}
