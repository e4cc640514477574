#pragma once
#include <QString>

#include <functional>
#include <initializer_list>

class QAction;

// The kind of the first selected row of a file list, in list order.
enum class TSelectedKind { None, File, Folder };

// What the action-enabling rules read, gathered once per UpdateActionStates pass.
struct TEnablingFacts {
    bool connected = false;
    TSelectedKind local = TSelectedKind::None;
    // None also while the remote menu is disabled.
    TSelectedKind remote = TSelectedKind::None;
};

// Sets the enabled state of actions by name.
class TActionSwitch {
public:
    explicit TActionSwitch(std::function<QAction*(const QString&)> find) : find_(std::move(find)) {}
    void Enable(std::initializer_list<const char*> names, bool enabled) const;

private:
    std::function<QAction*(const QString&)> find_;
};

// A subsystem's share of UpdateActionStates: the enabled states of its own actions.
using TEnablingRule = std::function<void(const TEnablingFacts&, const TActionSwitch&)>;
