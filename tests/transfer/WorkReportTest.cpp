#include "support/QStringPrinter.h"
#include "transfer/WorkReport.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t KiB = 1024;
constexpr std::int64_t GiB = KiB * KiB * KiB;

}  // namespace

// The speed's formula and an ordinary line are the progress handlers' test (TransferProgressTest).
TEST(WorkReport, AFirstMillisecondKeepsTheSpeedAndTheLineGivesAQuestionMarkOrCountsPast32Bits)
{
    // A report in the first millisecond keeps the speed, rather than dividing by zero.
    EXPECT_EQ(NextTransferSpeed(8196, 0, 12.5), 12.5);

    struct Case {
        TWorkMode mode;
        std::int64_t done, size;
        double speed;
        const char* line;
    };
    const Case cases[] = {
        {wkSend, 8196, 100000, 0, "8196 of 100000 bytes sent; Upload Speed: ?"},
        // A passed size leaves the remaining time open rather than negative.
        {wkReceive, 4096, 2048, 2.0, "4096 of 2048 bytes received; Download Speed: 2.00 KB/s; 残り ?"},
        // Counts and times beyond 32 bits do not wrap.
        {wkSend, 3 * GiB, 5 * GiB, 1.0, "3221225472 of 5368709120 bytes sent; Upload Speed: 1.00 KB/s; 残り 34952分32秒"},
        {wkReceive, 1, INT64_MAX, 0.001, "1 of 9223372036854775807 bytes received; Download Speed: 0.00 KB/s; 残り 16666666666666分40秒"},
    };
    const TWorkLineFormat format{QLocale::c()};
    for (const Case& c : cases)
        EXPECT_EQ(format.Line(c.mode, c.done, c.size, c.speed), QString::fromUtf8(c.line));
}
