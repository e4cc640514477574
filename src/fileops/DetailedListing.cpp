#include "fileops/DetailedListing.h"

#include <QFile>
#include <QProcess>

namespace {

// ls needs well under this even for a million entries; a hung network mount must not freeze
// the window for ever.
constexpr int ListingTimeoutMs = 60000;

}  // namespace

void WriteDetailedListing(const QString& directory, const QString& outputPath)
{
    // Whatever happens, the viewer must not show the previous directory's listing as this one.
    QFile::remove(outputPath);
    QProcess ls;
    ls.setWorkingDirectory(directory);
    ls.setProcessChannelMode(QProcess::MergedChannels);
    ls.setStandardOutputFile(outputPath, QIODevice::Truncate);
    ls.start(QStringLiteral("ls"), {QStringLiteral("-la")});
    if (ls.waitForStarted() && !ls.waitForFinished(ListingTimeoutMs)) {
        ls.kill();
        ls.waitForFinished();
    }
}
