#include "preview/DibImage.h"

#include "ImagePluginApi.h"

#include <algorithm>
#include <cstring>

namespace {

// The same bounds as the project's plug-ins: a foreign plug-in's figures are not trusted more.
constexpr qint64 MaxSide = 16384;
constexpr qint64 MaxPixels = 100'000'000;

QRgb Opaque(const unsigned char* bgr)
{
    return qRgb(bgr[2], bgr[1], bgr[0]);
}

void ConvertRow(const unsigned char* source, int bitCount, const QRgb* colours, QRgb* target, int width)
{
    switch (bitCount) {
    case 8:
        for (int x = 0; x < width; ++x)
            target[x] = colours[source[x]];
        break;
    case 24:
        for (int x = 0; x < width; ++x, source += 3)
            target[x] = Opaque(source);
        break;
    default:
        for (int x = 0; x < width; ++x, source += 4)
            target[x] = Opaque(source);
        break;
    }
}

}  // namespace

QImage DibToImage(const void* info, const void* bits, int width, int height)
{
    if (!info || !bits || width <= 0 || height <= 0 || width > MaxSide || height > MaxSide ||
        qint64{width} * height > MaxPixels)
        return {};
    BitmapInfoHeader header;
    std::memcpy(&header, info, sizeof header);
    const int bitCount = header.biBitCount;
    if (header.biSize < sizeof header || header.biCompression != 0 || header.biWidth <= 0 || header.biHeight == 0 ||
        (bitCount != 8 && bitCount != 24 && bitCount != 32))
        return {};
    QRgb colours[256] = {};
    if (bitCount == 8) {
        const unsigned count = header.biClrUsed == 0 ? 256 : std::min(header.biClrUsed, 256u);
        const auto* quads = static_cast<const unsigned char*>(info) + header.biSize;
        for (unsigned i = 0; i < count; ++i)
            colours[i] = Opaque(quads + 4 * i);
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::black);
    // A positive height stores the bottom row first.
    const bool bottomUp = header.biHeight > 0;
    const int rows = std::min<qint64>(height, std::abs(qint64{header.biHeight}));
    const int columns = std::min(width, header.biWidth);
    const size_t stride = (static_cast<size_t>(header.biWidth) * (bitCount / 8) + 3) & ~size_t{3};
    const int storedRows = static_cast<int>(std::abs(qint64{header.biHeight}));
    for (int y = 0; y < rows; ++y) {
        const auto* source = static_cast<const unsigned char*>(bits) + stride * (bottomUp ? storedRows - 1 - y : y);
        ConvertRow(source, bitCount, colours, reinterpret_cast<QRgb*>(image.scanLine(y)), columns);
    }
    return image;
}
