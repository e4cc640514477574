#pragma once
#include "ImagePluginApi.h"

#include <string>

// One image-decoder plug-in, loaded from a full path and unloaded on destruction. Bare names
// and relative paths are refused, so neither the library search path nor the working
// directory can supply a plug-in.
class TSpiPlugin {
public:
    explicit TSpiPlugin(const std::string& path);
    TSpiPlugin(const TSpiPlugin&) = delete;
    TSpiPlugin& operator=(const TSpiPlugin&) = delete;
    ~TSpiPlugin();

    // False when the file is missing, is no loadable library or lacks an entry point.
    bool Loaded() const { return handle_ != nullptr; }

    GetPluginInfoFunc GetPluginInfo = nullptr;
    IsSupportedFunc IsSupported = nullptr;
    GetPictureInfoFunc GetPictureInfo = nullptr;
    GetPictureFunc GetPicture = nullptr;

private:
    void* handle_ = nullptr;
};
