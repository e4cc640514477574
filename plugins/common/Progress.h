#pragma once
#include "ImagePluginApi.h"

// The caller's progress callback, which may cancel the decoding.
class TProgress {
public:
    TProgress(SpiProgressCallback callback, intptr_t data) : callback_(callback), data_(data) {}
    // False when the caller asked to stop.
    bool Report(int done, int total) const { return !callback_ || callback_(done, total, data_) == 0; }

private:
    SpiProgressCallback callback_;
    intptr_t data_;
};
