#pragma once
#include <QString>

class QLabel;

// The image-decoder plug-ins of the program directory. Holds no state: every call loads the
// plug-ins it asks and unloads them before it returns.
class TImagePlugins {
public:
    // Tried in this order.
    static constexpr const char* PluginNames[] = {"ifjpeg.spi", "lzr.spi",  "lzrp.spi",
                                                  "ifgif2.spi", "ifgif.spi", "ifpng.spi"};

    // pluginDir: the directory of the executable; plug-ins are loaded from there by full path
    // only, never from the working directory, which is the local pane's and may hold anyone's
    // files.
    explicit TImagePlugins(QString pluginDir) : pluginDir_(std::move(pluginDir)) {}

    // The extensions of every format of every plug-in present, one a line, with their dot and
    // in the letter case the plug-in reports.
    QString LoadPluginExtensions() const;

    struct TDrawnPicture {
        int result = 0;  // the accepting plug-in's IsSupported result; 0 when nothing was drawn
        int height = 0;
        int width = 0;
    };
    // Decodes the file with the first plug-in that accepts it and puts the picture into image,
    // which takes the picture's size. When none accepts it or decoding fails, image is left as
    // it was and the result is 0.
    TDrawnPicture DrawPicture(const QString& path, QLabel& image) const;

private:
    QString PluginPath(const char* name) const;

    QString pluginDir_;
};
