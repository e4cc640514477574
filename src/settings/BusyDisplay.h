#pragma once
#include <QString>

// What a command shows of its work in the window: the busy state, the panes held for a whole
// command and the status bar's panels.
class TBusyDisplay {
public:
    virtual ~TBusyDisplay() = default;
    virtual void EnterBusyState() = 0;
    virtual void LeaveBusyState() = 0;
    // True between the two.
    virtual bool BusyFlag() const = 0;
    // Holds both panes disabled (true) for a whole command, over the busy state's switching
    // them for every file, which takes longer than a small file's transfer; false lets the busy
    // state show again.
    virtual void HoldPanes(bool hold) = 0;
    // Panels 0 to 4.
    virtual void SetStatusPanel(int index, const QString& text) = 0;
};
