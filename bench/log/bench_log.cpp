// Appending 100,000 lines to the session log pane at a limit of 500, against the same work on
// a plain std::deque<QString> (trim, append, drop the oldest beyond the limit).
#include "log/Editor.h"
#include "log/SessionLog.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <deque>

namespace {

constexpr int LineCount = 100000;
constexpr int Limit = 500;
constexpr double TargetSeconds = 0.25; // "well under a second"

QStringList MakeLines()
{
    QStringList lines;
    lines.reserve(LineCount);
    for (int i = 0; i < LineCount; ++i)
        lines << QStringLiteral(">> 226-Transfer of file %1 complete, \"name%1.txt\" 4096 bytes\r\n").arg(i);
    return lines;
}

template <class Work>
double Seconds(Work work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QStringList lines = MakeLines();

    std::deque<QString> baseline;
    const double baselineSeconds = Seconds([&] {
        for (const QString& line : lines) {
            const QString trimmed = line.trimmed();
            if (trimmed.isEmpty())
                continue;
            baseline.push_back(trimmed);
            while (int(baseline.size()) > Limit)
                baseline.pop_front();
        }
    });

    TEditor pane;
    pane.resize(700, 61);
    pane.show();
    QApplication::processEvents();
    TSessionLog log(&pane, [] { return Limit; });
    const double paneSeconds = Seconds([&] {
        for (const QString& line : lines)
            log.AppendLogLine(line);
        QApplication::processEvents(); // the one repaint the user sees
    });

    if (pane.LineCount() != Limit || int(baseline.size()) != Limit || pane.Line(Limit - 1) != baseline.back()) {
        std::fprintf(stderr, "pane and baseline disagree\n");
        return 2;
    }
    std::printf("append %d lines at limit %d\n", LineCount, Limit);
    std::printf("  session log pane: %.3f s\n", paneSeconds);
    std::printf("  std::deque<QString> baseline: %.3f s\n", baselineSeconds);
    std::printf("  ratio pane/baseline: %.1f\n", paneSeconds / baselineSeconds);
    std::printf("  target: pane under %.2f s -> %s\n", TargetSeconds, paneSeconds < TargetSeconds ? "met" : "MISSED");
    return paneSeconds < TargetSeconds ? 0 : 1;
}
