// The plug-in manager over the project's real plug-ins, copied into program directories the
// tests make.
#include "fixtures/TempDir.h"
#include "preview/DibImage.h"
#include "preview/ImagePlugins.h"

#include "ImagePluginApi.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <cstring>

namespace {

const QString BuiltPlugins = QStringLiteral(MARLUX_BIN_DIR);

// A file of a plug-in's name that is no library is skipped like a missing one; the others give
// their extensions in the order of the list of names. The working directory, which holds anyone's
// files, is never searched. Files no plug-in can decode leave the shown picture alone.
TEST(ImagePlugins, PluginsLoadOnlyFromTheProgramDirectoryAndDecodeOrLeaveThePictureAlone)
{
    TempDir dir;
    const QString folder = QString::fromStdString(dir.Path());
    const auto writePicture = [&](const QString& name, QSize size, const char* format) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(qRgb(255, 0, 0));
        EXPECT_TRUE(picture.save(folder + u'/' + name, format)) << name.toStdString();
        return folder + u'/' + name;
    };
    TempDir::WriteFile(dir.File("ifjpeg.spi"), "not a library");
    for (const char* name : {"ifgif.spi", "ifpng.spi"})
        ASSERT_TRUE(QFile::copy(BuiltPlugins + u'/' + QLatin1String(name), folder + u'/' + QLatin1String(name)));
    EXPECT_EQ(TImagePlugins(folder).LoadPluginExtensions(), QStringLiteral(".gif\n.png"));

    const QString saved = QDir::currentPath();
    QDir::setCurrent(folder);
    TempDir empty;
    const TImagePlugins elsewhere(QString::fromStdString(empty.Path()));
    const QString relativeExtensions = TImagePlugins(QStringLiteral(".")).LoadPluginExtensions();
    QLabel image;
    const int drawn = elsewhere.DrawPicture(writePicture("a.png", QSize(4, 4), "PNG"), image).result;
    QDir::setCurrent(saved);
    EXPECT_EQ(relativeExtensions, QString());
    EXPECT_EQ(drawn, 0);

    // Each file goes to the plug-in of its kind. The pixels are the plug-ins' own tests
    // (PictureDecodingTest) and DibImage's below.
    const TImagePlugins plugins(BuiltPlugins);
    for (const char* format : {"PNG", "JPG"}) {
        const QString path = writePicture(QStringLiteral("picture.") + QLatin1String(format), QSize(40, 30), format);
        const TImagePlugins::TDrawnPicture drawn = plugins.DrawPicture(path, image);
        EXPECT_NE(drawn.result, 0) << format;
        EXPECT_EQ(QSize(drawn.width, drawn.height), QSize(40, 30));
        EXPECT_EQ(image.pixmap().size(), QSize(40, 30)) << format;
    }

    const qint64 shown = image.pixmap().cacheKey();
    // Accepted by its signature, broken after it: decoding fails.
    TempDir::WriteFile(dir.File("broken.png"), std::string("\x89PNG\r\n\x1a\n", 8) + "garbage");
    ASSERT_EQ(mkfifo(dir.File("pipe.png").c_str(), 0600), 0);
    for (const char* name : {"/broken.png", "/missing.png", "/pipe.png"})
        EXPECT_EQ(plugins.DrawPicture(folder + QLatin1String(name), image).result, 0) << name;
    EXPECT_EQ(image.pixmap().cacheKey(), shown);
    EXPECT_EQ(image.size(), QSize(40, 30));
}

// A plug-in's blocks, built in malloc memory as a plug-in hands them over.
TPictureBlocks Blocks(int width, int height, int bitCount, const std::vector<unsigned char>& bits,
                      const std::vector<std::pair<int, QRgb>>& colours = {})
{
    BitmapInfoHeader header{};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<uint16_t>(bitCount);
    auto* info = static_cast<unsigned char*>(std::calloc(1, 40 + 1024));
    std::memcpy(info, &header, sizeof header);
    for (const auto& [index, colour] : colours) {
        info[40 + 4 * index] = static_cast<unsigned char>(qBlue(colour));
        info[40 + 4 * index + 1] = static_cast<unsigned char>(qGreen(colour));
        info[40 + 4 * index + 2] = static_cast<unsigned char>(qRed(colour));
    }
    void* copy = std::malloc(bits.size());
    std::memcpy(copy, bits.data(), bits.size());
    return TPictureBlocks(info, copy);
}

// The picture's pixels, row by row from the top.
std::vector<QRgb> Pixels(const QImage& image)
{
    std::vector<QRgb> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(image.pixel(x, y));
    return pixels;
}

// Rows come bottom up or top down, padded to four bytes, through a colour table or direct; a
// 32-bit picture's rows become the image's own.
TEST(DibImage, RowsAreReadInTheirOrderThroughTheColourTableAndPastThePadding)
{
    TPictureBlocks bottomUp = Blocks(2, 2, 24, {255, 0, 0, 0, 255, 0, 0, 0, /**/ 0, 0, 255, 9, 9, 9, 0, 0});
    EXPECT_EQ(Pixels(DibToImage(bottomUp, 2, 2)),
              (std::vector<QRgb>{qRgb(255, 0, 0), qRgb(9, 9, 9), qRgb(0, 0, 255), qRgb(0, 255, 0)}));

    TPictureBlocks topDown = Blocks(1, -2, 8, {3, 0, 0, 0, /**/ 1, 0, 0, 0}, {{1, qRgb(200, 0, 0)}, {3, qRgb(0, 100, 0)}});
    EXPECT_EQ(Pixels(DibToImage(topDown, 1, 2)), (std::vector<QRgb>{qRgb(0, 100, 0), qRgb(200, 0, 0)}));

    // Three rows, so the middle one stays where it is; the fourth bytes are 0 as plug-ins leave them.
    TPictureBlocks blocks = Blocks(1, 3, 32, {1, 2, 3, 0, /**/ 4, 5, 6, 0, /**/ 7, 8, 9, 0});
    const QImage opaque = DibToImage(blocks, 1, 3);
    EXPECT_EQ(blocks.Bits(), nullptr);
    EXPECT_EQ(Pixels(opaque), (std::vector<QRgb>{qRgb(9, 8, 7), qRgb(6, 5, 4), qRgb(3, 2, 1)}));

    // Fewer rows than the picture information claims: the rest stays black.
    TPictureBlocks shorter = Blocks(1, 1, 32, {1, 2, 3, 0});
    EXPECT_EQ(Pixels(DibToImage(shorter, 2, 2)), (std::vector<QRgb>{qRgb(3, 2, 1), qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(0, 0, 0)}));
}

TEST(DibImage, UnreadableHeadersAndRefusedSizesGiveNoPicture)
{
    TPictureBlocks blocks = Blocks(1, 1, 24, {1, 2, 3, 0});
    auto* info = static_cast<unsigned char*>(const_cast<void*>(blocks.Info()));
    // Sizes too large or empty, 16 bits a pixel (biBitCount), a compressed picture.
    for (const auto& [width, bitCount, compression] : {std::tuple{20000, 24, 0}, {0, 24, 0}, {1, 16, 0}, {1, 24, 1}}) {
        info[14] = static_cast<unsigned char>(bitCount);
        info[16] = static_cast<unsigned char>(compression);
        EXPECT_TRUE(DibToImage(blocks, width, 1).isNull()) << width << " " << bitCount << " " << compression;
    }
}

}  // namespace
