// The main window's use of the FTP engine.
#include "app/MainForm.h"

bool TMainForm::SessionConnected() const
{
    return false;
}

void TMainForm::CloseEngine(bool)
{
}
