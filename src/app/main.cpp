// Process start: the application object, the main window, the message loop.
#include "app/MainForm.h"
#include "app/MarluxApplication.h"

#include <QMessageBox>

int main(int argc, char** argv)
{
    TMarluxApplication app(argc, argv);
    try {
        TMainForm form(QApplication::arguments().mid(1));
        return app.exec();
    } catch (const std::exception& error) {
        // A window that cannot be built is a failed start, whatever the desktop does with it.
        QMessageBox::critical(nullptr, QApplication::applicationName(), QString::fromLocal8Bit(error.what()));
        return 1;
    }
}
