#include "app/MarluxApplication.h"

#include "app/ExceptionGuard.h"

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
