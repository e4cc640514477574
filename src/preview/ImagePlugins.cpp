#include "preview/ImagePlugins.h"

#include "preview/DibImage.h"
#include "platform/SpiPlugin.h"

#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QStringList>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int InfoBufferSize = 80;
// A plug-in that reports formats without end must not stall the start-up.
constexpr int MaxFormatsPerPlugin = 256;

// The text from the last "." of a pattern, when no separator follows it; empty otherwise.
QString PatternExtension(const QString& pattern)
{
    const qsizetype dot = pattern.lastIndexOf(u'.');
    const qsizetype separator =
        std::max({pattern.lastIndexOf(u'\\'), pattern.lastIndexOf(u':'), pattern.lastIndexOf(u'/')});
    return dot < 0 || dot < separator ? QString() : pattern.mid(dot);
}

// Closes the descriptor when it goes.
class TOpenFile {
public:
    // Non-blocking, so a named pipe in place of a picture cannot stall the window.
    explicit TOpenFile(const QString& path)
        : fd_(open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK))
    {
    }
    ~TOpenFile() { Close(); }
    TOpenFile(const TOpenFile&) = delete;
    TOpenFile& operator=(const TOpenFile&) = delete;
    int Get() const { return fd_; }
    void Close()
    {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

}  // namespace

QString TImagePlugins::PluginPath(const char* name) const
{
    return pluginDir_ + u'/' + QLatin1String(name);
}

QString TImagePlugins::LoadPluginExtensions() const
{
    QString text;
    for (const char* name : PluginNames) {
        const TSpiPlugin plugin(QFile::encodeName(PluginPath(name)).toStdString());
        if (!plugin.Loaded())
            continue;
        char buffer[InfoBufferSize + 1] = {};
        for (int n = 0; n < MaxFormatsPerPlugin && plugin.GetPluginInfo(2 * n + 3, buffer, InfoBufferSize) > 0; ++n) {
            if (plugin.GetPluginInfo(2 * n + 2, buffer, InfoBufferSize) <= 0)
                continue;
            buffer[InfoBufferSize] = '\0';
            for (const QString& pattern : QString::fromLocal8Bit(buffer).split(u';'))
                text += PatternExtension(pattern) + u'\n';
        }
    }
    return text.trimmed();
}

TImagePlugins::TDrawnPicture TImagePlugins::DrawPicture(const QString& path, QLabel& image) const
{
    TOpenFile file(path);
    if (file.Get() < 0)
        return {};
    const QByteArray encodedPath = QFile::encodeName(path);
    for (const char* name : PluginNames) {
        const TSpiPlugin plugin(QFile::encodeName(PluginPath(name)).toStdString());
        if (!plugin.Loaded())
            continue;
        if (lseek(file.Get(), 0, SEEK_SET) != 0)
            return {};
        const int accepted = plugin.IsSupported(encodedPath.constData(), file.Get());
        if (accepted == 0)
            continue;
        file.Close();
        PictureInfo info{};
        void* infoBlock = nullptr;
        void* bitsBlock = nullptr;
        // After a failure the pointers are not the caller's: nothing is freed.
        if (plugin.GetPictureInfo(encodedPath.constData(), 0, SpiFromFile, &info) != SpiSuccess ||
            plugin.GetPicture(encodedPath.constData(), 0, SpiFromFile, &infoBlock, &bitsBlock, nullptr, 0) !=
                SpiSuccess)
            return {};
        TPictureBlocks blocks(infoBlock, bitsBlock);
        QImage picture = DibToImage(blocks, info.width, info.height);
        if (picture.isNull())
            return {};
        image.setPixmap(QPixmap::fromImage(std::move(picture)));
        image.resize(info.width, info.height);
        return {accepted, info.height, info.width};
    }
    return {};
}
