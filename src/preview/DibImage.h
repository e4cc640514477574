#pragma once
#include <QImage>

// The two malloc blocks an image plug-in's GetPicture hands over (bitmap header with colour
// table, and the rows), freed when this goes unless the picture took the rows.
class TPictureBlocks {
public:
    TPictureBlocks(void* info, void* bits) : info_(info), bits_(bits) {}
    TPictureBlocks(const TPictureBlocks&) = delete;
    TPictureBlocks& operator=(const TPictureBlocks&) = delete;
    ~TPictureBlocks();

    const void* Info() const { return info_; }
    void* Bits() const { return bits_; }
    // The rows become the caller's.
    void* TakeBits();

private:
    void* info_;
    void* bits_;
};

// The picture of the blocks, width x height as the picture information gives them; rows or
// columns the blocks lack stay black. A null image when the header is not one this program
// reads or the size is refused. 32-bit rows of exactly that size become the picture's own
// memory, turned upright in place, so a large photograph is not copied.
QImage DibToImage(TPictureBlocks& blocks, int width, int height);
