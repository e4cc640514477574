#pragma once
#include "settings/BusyDisplay.h"

#include <QList>
#include <QMap>
#include <QString>

// A busy display that records what the commands showed on it.
class TRecordedBusy : public TBusyDisplay {
public:
    void EnterBusyState() override
    {
        busy = true;
        ++entered;
    }
    void LeaveBusyState() override
    {
        busy = false;
        ++left;
    }
    bool BusyFlag() const override { return busy; }
    void HoldPanes(bool hold) override { holds << hold; }
    void SetStatusPanel(int index, const QString& text) override { panels[index] = text; }

    bool busy = false;
    int entered = 0;
    int left = 0;
    QList<bool> holds;
    QMap<int, QString> panels;
};
