#pragma once
#include <QImage>

// The picture of an image plug-in's two blocks (bitmap header with colour table, and rows),
// width x height as the picture information gives them; rows or columns the blocks lack stay
// black. A null image when the header is not one this program reads or the size is refused.
QImage DibToImage(const void* info, const void* bits, int width, int height);
