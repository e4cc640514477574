// Process start. Until the full main window is assembled, the program opens a window with
// the session log pane and the status line so that the build can be started and inspected.
#include "log/Editor.h"
#include "log/SessionLog.h"

#include <QApplication>
#include <QDate>
#include <QLocale>
#include <QMainWindow>
#include <QStatusBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Marlux");
    QApplication::setApplicationDisplayName(QString::fromUtf8("Marlux - 未接続"));

    QMainWindow window;
    window.setObjectName("MainForm");
    window.setWindowTitle(QString::fromUtf8("Marlux - 未接続"));
    window.resize(726, 547);

    auto* log = new TEditor(&window);
    log->setObjectName("eeLog");
    window.setCentralWidget(log);
    TSessionLog sessionLog(log, [] { return 500; });
    sessionLog.AddLineDirect(QString::fromUtf8("Marlux Version 2.1.2.0"));
    sessionLog.AddLineDirect(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));

    window.statusBar()->showMessage(QString::fromUtf8("未接続"));
    window.show();
    return app.exec();
}
