#include "platform/SpiPlugin.h"

#include <dlfcn.h>

namespace {

template <class Function>
Function Entry(void* handle, const char* name)
{
    return reinterpret_cast<Function>(dlsym(handle, name));
}

}  // namespace

TSpiPlugin::TSpiPlugin(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return;
    // RTLD_LOCAL: each plug-in's entry points stay its own.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
        return;
    GetPluginInfo = Entry<GetPluginInfoFunc>(handle_, "GetPluginInfo");
    IsSupported = Entry<IsSupportedFunc>(handle_, "IsSupported");
    GetPictureInfo = Entry<GetPictureInfoFunc>(handle_, "GetPictureInfo");
    GetPicture = Entry<GetPictureFunc>(handle_, "GetPicture");
    if (!GetPluginInfo || !IsSupported || !GetPictureInfo || !GetPicture) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

TSpiPlugin::~TSpiPlugin()
{
    if (handle_)
        dlclose(handle_);
}
