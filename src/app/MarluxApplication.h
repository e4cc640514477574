#pragma once
#include <QApplication>
#include <QIcon>

#include <functional>
#include <memory>

// The application object: title "Marlux", and the last line of defence that keeps any
// exception out of Qt's event loop.
class TMarluxApplication : public QApplication {
public:
    TMarluxApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The program's own icon, the window icon of every window and the About box's picture.
QIcon ProgramIcon();

// Builds the main window and runs the event loop until it ends, giving the loop's exit status.
// A window that cannot be built is a failed start, whatever the desktop does with the process:
// the error is shown and the status is 1.
int RunMainWindow(const std::function<std::unique_ptr<QWidget>()>& build);
