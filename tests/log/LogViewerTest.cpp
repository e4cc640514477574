#include "log/LogViewer.h"

#include "log/Editor.h"
#include "fixtures/TempDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

TEST(LogViewer, StartsTheViewerWithThePathAsOneArgumentOrSaysItCannot)
{
    TempDir dir;
    const std::string script = dir.File("viewer.sh");
    TempDir::WriteFile(script, "#!/bin/sh\nd=\"$(dirname \"$0\")\"; printf '%s' \"$1\" > \"$d/seen.tmp\" && mv \"$d/seen.tmp\" \"$d/seen\"\n");
    QFile::setPermissions(QString::fromStdString(script), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString target = QString::fromStdString(dir.File("with space.txt"));
    ASSERT_TRUE(StartViewer(QString::fromStdString(script), target));
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(QString::fromStdString(dir.File("seen"))) && waited.elapsed() < 10000)
        QThread::msleep(20);
    EXPECT_EQ(TempDir::ReadFile(dir.File("seen")), target.toStdString());
    EXPECT_FALSE(StartViewer(QStringLiteral("/nonexistent/viewer"), target));
    EXPECT_FALSE(StartViewer(QString(), target));
    // Saving the pane for the viewer into a missing folder fails loudly.
    TEditor pane;
    EXPECT_THROW(SaveSessionLog(pane, QString::fromStdString(dir.File("missing"))), std::runtime_error);
}
