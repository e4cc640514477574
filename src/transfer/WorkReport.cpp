#include "transfer/WorkReport.h"

#include <charconv>
#include <algorithm>
#include <cmath>
#include <string_view>

namespace {

// Longer than any line this builds, so the text is allocated once.
constexpr qsizetype LineCapacity = 128;
// Caps the remaining seconds so that a crawl over a huge file still converts to an integer.
constexpr double MaxRemainingSeconds = 1e15;

void AppendInteger(QString& line, std::int64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    line.append(QLatin1StringView(digits, end - digits));
}

}  // namespace

double NextTransferSpeed(std::int64_t workCount, std::int64_t elapsedMs, double previousSpeed)
{
    if (elapsedMs <= 0)
        return previousSpeed;
    const double elapsed = static_cast<double>(elapsedMs) * 0.001;
    return (static_cast<double>(workCount) / 1024 / elapsed + previousSpeed) * 0.5;
}

TWorkLineFormat::TWorkLineFormat(const QLocale& locale) : decimalPoint_(locale.decimalPoint())
{
}

QString TWorkLineFormat::Line(TWorkMode mode, std::int64_t workCount, std::int64_t expectedSize, double speed) const
{
    QString line;
    line.reserve(LineCapacity);
    AppendInteger(line, workCount);
    line.append(QLatin1StringView(" of "));
    AppendInteger(line, expectedSize);
    line.append(mode == wkReceive ? QLatin1StringView(" bytes received; Download Speed: ")
                                  : QLatin1StringView(" bytes sent; Upload Speed: "));
    AppendSpeedText(line, workCount, expectedSize, speed);
    return line;
}

void TWorkLineFormat::AppendSpeedText(QString& line, std::int64_t workCount, std::int64_t expectedSize,
                                      double speed) const
{
    char digits[48];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, speed, std::chars_format::fixed, 2);
    if (!(speed > 0) || !std::isfinite(speed) || error != std::errc()) {
        line.append(u'?');
        return;
    }
    const std::string_view text(digits, static_cast<std::size_t>(end - digits));
    const std::size_t point = text.find('.');
    line.append(QLatin1StringView(text.substr(0, point)));
    line.append(decimalPoint_);
    line.append(QLatin1StringView(text.substr(point + 1)));
    line.append(u" KB/s; 残り ");
    if (expectedSize <= 0 || expectedSize < workCount) {
        line.append(u'?');
        return;
    }
    const double seconds = static_cast<double>(expectedSize - workCount) / 1024 / speed;
    const auto remaining = static_cast<std::int64_t>(std::min(seconds, MaxRemainingSeconds));
    AppendInteger(line, remaining / 60);
    line.append(u'分');
    AppendInteger(line, remaining % 60);
    line.append(u'秒');
}
