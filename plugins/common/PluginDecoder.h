// What each plug-in supplies to the shared exports: its info texts, its signature test and
// its decoder. Every plug-in defines one ThisPlugin.
#pragma once
#include "common/Dib.h"
#include "common/Progress.h"
#include "ImagePluginApi.h"

#include <cstddef>

struct TPictureBytes {
    const unsigned char* data;
    size_t size;
};

struct TPluginDecoder {
    // GetPluginInfo's entries from number 0 on.
    const char* const* infoTexts;
    int infoCount;
    // How many leading bytes Accepts needs at most.
    size_t signatureSize;
    bool (*Accepts)(const unsigned char* head, size_t size);
    int (*ReadInfo)(TPictureBytes picture, PictureInfo& info);
    int (*Decode)(TPictureBytes picture, TDib& dib, TProgress& progress);
};

extern const TPluginDecoder ThisPlugin;
