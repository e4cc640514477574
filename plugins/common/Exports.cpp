// The four exported functions, shared by every plug-in over its ThisPlugin. No exception
// leaves them: the caller is C.
#include "common/PictureInput.h"
#include "common/PluginDecoder.h"
#include "common/PluginInfo.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

template <class Work>
int Contained(Work work) noexcept
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return SpiOutOfMemory;
    } catch (...) {
        return SpiInternalError;
    }
}

// The picture's bytes handed to work when they are there and of this plug-in's format.
template <class Work>
int WithPicture(const char* buf, intptr_t len, unsigned flag, Work work) noexcept
{
    return Contained([&] {
        std::vector<unsigned char> bytes;
        if (const int result = ReadPictureInput(buf, len, flag, bytes); result != SpiSuccess)
            return result;
        if (!ThisPlugin.Accepts(bytes.data(), bytes.size()))
            return static_cast<int>(SpiUnknownFormat);
        return work(TPictureBytes{bytes.data(), bytes.size()});
    });
}

}  // namespace

extern "C" {

int GetPluginInfo(int infono, char* buf, int buflen)
{
    return CopyPluginInfo(ThisPlugin.infoTexts, ThisPlugin.infoCount, infono, buf, buflen);
}

int IsSupported(const char* /*filename*/, intptr_t dw)
{
    unsigned char head[64];
    const size_t size = ReadFileHead(dw, head, std::min(sizeof head, ThisPlugin.signatureSize));
    return ThisPlugin.Accepts(head, size) ? 1 : 0;
}

int GetPictureInfo(const char* buf, intptr_t len, unsigned int flag, PictureInfo* info)
{
    if (!info)
        return SpiInternalError;
    return WithPicture(buf, len, flag, [&](TPictureBytes picture) {
        PictureInfo found{};
        const int result = ThisPlugin.ReadInfo(picture, found);
        if (result == SpiSuccess)
            *info = found;
        return result;
    });
}

int GetPicture(const char* buf, intptr_t len, unsigned int flag, void** pHBInfo, void** pHBm,
               SpiProgressCallback progress, intptr_t lData)
{
    if (!pHBInfo || !pHBm)
        return SpiInternalError;
    return WithPicture(buf, len, flag, [&](TPictureBytes picture) {
        TDib dib;
        TProgress reporter(progress, lData);
        const int result = ThisPlugin.Decode(picture, dib, reporter);
        if (result == SpiSuccess)
            dib.HandOver(pHBInfo, pHBm);
        return result;
    });
}
}
