// Previewing a 4000 x 3000 JPEG and PNG through DrawPicture (plug-ins loaded, decoded, turned
// into the picture shown), against djpeg and pngtopnm decoding the same files to /dev/null.
// The two alternate, seven runs each; medians of processor time (user + system, the tools'
// counted as children) decide, as the machine may be busy with other work. Wall times are
// printed beside them.
#include "platform/ProgramDir.h"
#include "preview/ImagePlugins.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QRandomGenerator>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;
constexpr int Runs = 7;
constexpr double TargetRatio = 1.5;

struct TTimes {
    double processor;
    double wall;
};

double ProcessorSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

template <class Work>
TTimes Measure(int who, Work work)
{
    const double processor = ProcessorSeconds(who);
    const auto start = std::chrono::steady_clock::now();
    work();
    return {ProcessorSeconds(who) - processor,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Smooth gradients with fine noise, so the files compress like photographs.
QImage PhotoLike()
{
    QImage image(Width, Height, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const int noise = static_cast<int>(random.bounded(24));
            row[x] = qRgb((x * 255 / Width + noise) & 0xFF, (y * 255 / Height + noise) & 0xFF, ((x + y) / 32 + noise) & 0xFF);
        }
    }
    return image;
}

bool Compare(const char* what, const QString& path, const TImagePlugins& plugins, const std::string& tool)
{
    QLabel label;
    const std::string command = tool + " '" + path.toStdString() + "' > /dev/null";
    std::vector<double> oursProcessor, oursWall, theirsProcessor, theirsWall;
    for (int run = 0; run < Runs; ++run) {
        const TTimes ours = Measure(RUSAGE_SELF, [&] {
            if (plugins.DrawPicture(path, label).result == 0) {
                std::fprintf(stderr, "%s: DrawPicture failed\n", what);
                std::exit(2);
            }
        });
        const TTimes theirs = Measure(RUSAGE_CHILDREN, [&] {
            if (std::system(command.c_str()) != 0) {
                std::fprintf(stderr, "%s failed\n", command.c_str());
                std::exit(2);
            }
        });
        oursProcessor.push_back(ours.processor);
        oursWall.push_back(ours.wall);
        theirsProcessor.push_back(theirs.processor);
        theirsWall.push_back(theirs.wall);
    }
    const double ratio = Median(oursProcessor) / Median(theirsProcessor);
    std::printf("%s %d x %d (%.1f MB file, median of %d): DrawPicture %.3f s (wall %.3f s), %s %.3f s (wall %.3f s), "
                "ratio %.2f (target <= %.1f)\n",
                what, Width, Height, QFileInfo(path).size() / 1e6, Runs, Median(oursProcessor), Median(oursWall),
                tool.c_str(), Median(theirsProcessor), Median(theirsWall), ratio, TargetRatio);
    return ratio <= TargetRatio;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    char pattern[] = "/tmp/marlux-bench-preview-XXXXXX";
    const QString dir = QString::fromLocal8Bit(mkdtemp(pattern));
    const QImage photo = PhotoLike();
    const QString jpeg = dir + QStringLiteral("/photo.jpg");
    const QString png = dir + QStringLiteral("/photo.png");
    if (!photo.save(jpeg, "JPG", 90) || !photo.save(png, "PNG")) {
        std::fprintf(stderr, "cannot write the test pictures\n");
        return 2;
    }
    const TImagePlugins plugins(QFileInfo(QString::fromStdString(CurrentExecutablePath())).absolutePath());
    const bool jpegOk = Compare("JPEG", jpeg, plugins, "djpeg");
    const bool pngOk = Compare("PNG", png, plugins, "pngtopnm");
    std::system(("rm -rf '" + dir.toStdString() + "'").c_str());
    return jpegOk && pngOk ? 0 : 1;
}
