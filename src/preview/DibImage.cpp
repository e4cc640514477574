#include "preview/DibImage.h"

#include "ImagePluginApi.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// The same bounds as the project's plug-ins: a foreign plug-in's figures are not trusted more.
constexpr qint64 MaxSide = 16384;
constexpr qint64 MaxPixels = 100'000'000;
constexpr QRgb OpaqueAlpha = 0xFF000000u;

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

// Bottom-up 32-bit rows turned top-down where they are; the unused fourth byte made opaque.
void TurnUprightInPlace(QImage& image)
{
    const int width = image.width();
    const int height = image.height();
    for (int top = 0, bottom = height - 1; top <= bottom; ++top, --bottom) {
        auto* upper = reinterpret_cast<QRgb*>(image.scanLine(top));
        auto* lower = reinterpret_cast<QRgb*>(image.scanLine(bottom));
        for (int x = 0; x < width; ++x) {
            const QRgb swapped = upper[x] | OpaqueAlpha;
            upper[x] = lower[x] | OpaqueAlpha;
            lower[x] = swapped;
        }
    }
}

}  // namespace

TPictureBlocks::~TPictureBlocks()
{
    std::free(bits_);
    std::free(info_);
}

void* TPictureBlocks::TakeBits()
{
    return std::exchange(bits_, nullptr);
}

QImage DibToImage(TPictureBlocks& blocks, int width, int height)
{
    if (!blocks.Info() || !blocks.Bits() || width <= 0 || height <= 0 || width > MaxSide || height > MaxSide ||
        qint64{width} * height > MaxPixels)
        return {};
    BitmapInfoHeader header;
    std::memcpy(&header, blocks.Info(), sizeof header);
    const int bitCount = header.biBitCount;
    if (header.biSize < sizeof header || header.biCompression != 0 || header.biWidth <= 0 || header.biHeight == 0 ||
        (bitCount != 8 && bitCount != 24 && bitCount != 32))
        return {};
    if (bitCount == 32 && header.biWidth == width && header.biHeight == height) {
        QImage image(static_cast<uchar*>(blocks.Bits()), width, height, width * 4, QImage::Format_RGB32,
                     [](void* bits) { std::free(bits); }, blocks.Bits());
        blocks.TakeBits();
        TurnUprightInPlace(image);
        return image;
    }
    QRgb colours[256] = {};
    if (bitCount == 8) {
        const unsigned count = header.biClrUsed == 0 ? 256 : std::min(header.biClrUsed, 256u);
        const auto* quads = static_cast<const unsigned char*>(blocks.Info()) + header.biSize;
        for (unsigned i = 0; i < count; ++i)
            colours[i] = Opaque(quads + 4 * i);
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    // A positive height stores the bottom row first.
    const int storedRows = static_cast<int>(std::abs(qint64{header.biHeight}));
    const int rows = std::min(height, storedRows);
    const int columns = std::min(width, header.biWidth);
    if (rows < height || columns < width)
        image.fill(Qt::black);
    const size_t stride = (static_cast<size_t>(header.biWidth) * (bitCount / 8) + 3) & ~size_t{3};
    for (int y = 0; y < rows; ++y) {
        const auto* source = static_cast<const unsigned char*>(blocks.Bits()) +
                             stride * (header.biHeight > 0 ? storedRows - 1 - y : y);
        ConvertRow(source, bitCount, colours, reinterpret_cast<QRgb*>(image.scanLine(y)), columns);
    }
    return image;
}
