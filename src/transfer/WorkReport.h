#pragma once
#include "ftp/IdComponent.h"

#include <QLocale>
#include <QString>

#include <cstdint>

// The smoothed speed in KB/s after one more work report: the mean of the average since the
// start and the previous value. A report within the first millisecond leaves it as it was.
double NextTransferSpeed(std::int64_t workCount, std::int64_t elapsedMs, double previousSpeed);

// The progress line of a work report, as the progress window and the session log show it:
// "163840 of 1048576 bytes received; Download Speed: 38.00 KB/s; 残り 0分22秒".
class TWorkLineFormat {
public:
    explicit TWorkLineFormat(const QLocale& locale);

    // The speed part reads "?" while no speed is known; the remaining time "?" when the expected
    // size is unknown or already passed.
    QString Line(TWorkMode mode, std::int64_t workCount, std::int64_t expectedSize, double speed) const;

private:
    QString decimalPoint_;
};
