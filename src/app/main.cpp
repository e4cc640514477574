// Process start: the application object, the main window, the message loop.
#include "app/MainForm.h"
#include "app/MarluxApplication.h"

int main(int argc, char** argv)
{
    TMarluxApplication app(argc, argv);
    return RunMainWindow([] { return std::make_unique<TMainForm>(QApplication::arguments().mid(1)); });
}
