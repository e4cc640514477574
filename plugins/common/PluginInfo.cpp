#include "common/PluginInfo.h"

#include <algorithm>
#include <cstring>

int CopyPluginInfo(const char* const* texts, int count, int infono, char* buf, int buflen)
{
    if (infono < 0 || infono >= count || !buf || buflen <= 0)
        return 0;
    const size_t length = std::min(std::strlen(texts[infono]), static_cast<size_t>(buflen - 1));
    std::memcpy(buf, texts[infono], length);
    buf[length] = '\0';
    return static_cast<int>(length);
}
