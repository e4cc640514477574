#pragma once
#include <functional>

class TUserDialogs;

// Runs a step of a dialog; an error it raises (a settings file that cannot be written) is
// shown to the user and the dialog stays open. Returns whether the step completed.
bool RunReportingErrors(TUserDialogs& dialogs, const std::function<void()>& step);
