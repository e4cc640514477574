#include "app/MarluxApplication.h"

#include "app/ExceptionGuard.h"

#include <QMessageBox>

TMarluxApplication::TMarluxApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Marlux"));
}

bool TMarluxApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleUncaughtException(std::current_exception());
        return false;
    }
}

int RunMainWindow(const std::function<std::unique_ptr<QWidget>()>& build)
{
    try {
        const std::unique_ptr<QWidget> window = build();
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromLocal8Bit(error.what()));
        return 1;
    }
}
