// Process start: the application object, the main window, the message loop.
#include "app/CommandLineInfo.h"
#include "app/MainForm.h"
#include "app/MarluxApplication.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (const std::optional<int> status = AnswerInfoOption(argc, argv, std::cout))
        return *status;
    TMarluxApplication app(argc, argv);
    return RunMainWindow([] { return std::make_unique<TMainForm>(QApplication::arguments().mid(1)); });
}
