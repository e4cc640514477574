#pragma once
#include <QString>

#include <functional>
#include <initializer_list>

// The kind of the first selected row of a file list, in list order.
enum class TSelectedKind { None, File, Folder };

// What the action-enabling rules read, gathered once per UpdateActionStates pass.
struct TEnablingFacts {
    bool connected = false;
    TSelectedKind local = TSelectedKind::None;
    // None also while the remote menu is disabled.
    TSelectedKind remote = TSelectedKind::None;

    bool operator==(const TEnablingFacts&) const = default;
};

// Takes the enabled state the rules want for actions by name.
class TActionSwitch {
public:
    explicit TActionSwitch(std::function<void(const QString&, bool)> set) : set_(std::move(set)) {}
    void Enable(std::initializer_list<const char*> names, bool enabled) const;

private:
    std::function<void(const QString&, bool)> set_;
};

// A subsystem's share of UpdateActionStates: the enabled states of its own actions.
using TEnablingRule = std::function<void(const TEnablingFacts&, const TActionSwitch&)>;
