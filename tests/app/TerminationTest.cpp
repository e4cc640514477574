// The real program in a child process, ended by a signal as a desktop session ends it; a start
// whose window cannot be built.
#include "app/MarluxApplication.h"
#include "fixtures/TempDir.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>

namespace {

class TerminationTest : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(TerminationTest, SignalClosesTheWindowTheNormalWay)
{
    TempDir home;
    TempDir work;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MARLUX_HOME", QString::fromStdString(home.Path()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QString::fromStdString(work.Path()));
    program.start(QStringLiteral(MARLUX_BIN_DIR "/marlux"), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    // The window is up once the start-up has written its settings.
    QElapsedTimer clock;
    clock.start();
    while (TempDir::ReadFile(home.File("Marlux.ini")).find("[DEFAULT]") == std::string::npos && clock.elapsed() < 20000)
        QThread::msleep(50);
    ASSERT_NE(TempDir::ReadFile(home.File("Marlux.ini")).find("[DEFAULT]"), std::string::npos) << "the program did not start up";

    ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), GetParam()), 0);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    const std::string settings = TempDir::ReadFile(home.File("Marlux.ini"));
    EXPECT_NE(settings.find("iReserveColor=255", settings.find("[CURRENT]")), std::string::npos);  // only after [CURRENT]
    EXPECT_EQ(TempDir::ReadFile(home.File("LST/Local.lst")), "");
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

TEST(Startup, AWindowThatCannotBeBuiltIsReportedAndEndsTheProcessWithStatusOne)
{
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    EXPECT_EQ(RunMainWindow([]() -> std::unique_ptr<QWidget> { throw std::runtime_error("no room for the window"); }),
              1);
    EXPECT_EQ(shown, QStringLiteral("no room for the window"));
}
