#include "app/MarluxApplication.h"

#include "service/ExceptionGuard.h"

#include <QMessageBox>

QIcon ProgramIcon()
{
    Q_INIT_RESOURCE(app);  // the resources live in a static library
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/marlux-48.png"));
    icon.addFile(QStringLiteral(":/icons/marlux-256.png"));
    return icon;
}

TMarluxApplication::TMarluxApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Marlux"));
    // Lets a Wayland desktop match the window to the menu entry and its icon.
    setDesktopFileName(QStringLiteral("marlux"));
    setWindowIcon(ProgramIcon());
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
