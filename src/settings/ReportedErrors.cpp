#include "settings/ReportedErrors.h"

#include "settings/UserDialogs.h"

#include <exception>

bool RunReportingErrors(TUserDialogs& dialogs, const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        dialogs.ShowMessage(QString::fromStdString(error.what()));
        return false;
    }
}
