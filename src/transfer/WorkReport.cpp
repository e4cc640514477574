#include "transfer/WorkReport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace {

// Caps the remaining seconds so that a crawl over a huge file still converts to an integer.
constexpr double MaxRemainingSeconds = 1e15;
// Speeds are shown in hundredths; any speed a transfer reaches fits in an int64 of them.
constexpr double MaxSpeedHundredths = 1e17;

// The line is composed here and becomes a QString with one allocation: it is built once per
// work report.
class TLineBuilder {
public:
    void Append(std::u16string_view text)
    {
        const std::size_t count = std::min(text.size(), Capacity - length_);
        std::copy_n(text.data(), count, chars_ + length_);
        length_ += count;
    }
    void Append(std::string_view latin1)
    {
        const std::size_t count = std::min(latin1.size(), Capacity - length_);
        std::copy_n(latin1.data(), count, chars_ + length_);
        length_ += count;
    }
    void Append(std::int64_t value)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        Append(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }
    QString Text() const { return QString(reinterpret_cast<const QChar*>(chars_), static_cast<qsizetype>(length_)); }

private:
    static constexpr std::size_t Capacity = 160;
    char16_t chars_[Capacity];
    std::size_t length_ = 0;
};

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
    TLineBuilder line;
    line.Append(workCount);
    line.Append(std::string_view(" of "));
    line.Append(expectedSize);
    line.Append(mode == wkReceive ? std::string_view(" bytes received; Download Speed: ")
                                  : std::string_view(" bytes sent; Upload Speed: "));
    if (!(speed > 0) || !(speed * 100 < MaxSpeedHundredths)) {
        line.Append(std::u16string_view(u"?"));
        return line.Text();
    }
    const auto hundredths = std::llround(speed * 100);
    line.Append(static_cast<std::int64_t>(hundredths / 100));
    line.Append(std::u16string_view(reinterpret_cast<const char16_t*>(decimalPoint_.utf16()),
                                    static_cast<std::size_t>(decimalPoint_.size())));
    const auto cents = static_cast<char>(hundredths % 100);
    const char fraction[2] = {static_cast<char>('0' + cents / 10), static_cast<char>('0' + cents % 10)};
    line.Append(std::string_view(fraction, 2));
    line.Append(std::u16string_view(u" KB/s; 残り "));
    if (expectedSize <= 0 || expectedSize < workCount) {
        line.Append(std::u16string_view(u"?"));
        return line.Text();
    }
    const double seconds = static_cast<double>(expectedSize - workCount) / 1024 / speed;
    const auto remaining = static_cast<std::int64_t>(std::min(seconds, MaxRemainingSeconds));
    line.Append(remaining / 60);
    line.Append(std::u16string_view(u"分"));
    line.Append(remaining % 60);
    line.Append(std::u16string_view(u"秒"));
    return line.Text();
}
