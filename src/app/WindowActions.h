#pragma once
#include "settings/ActionEnabling.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QWidget;

// The window's actions made from the action table: each runs the handler set for its name,
// guarded, and is enabled by the rules of the subsystems that carry it out. Actions that talk
// to the server stay disabled while the engine is busy.
class TWindowActions {
public:
    // owner: the window whose shortcuts the actions are; engineBusy: true while a job runs.
    TWindowActions(QWidget& owner, std::function<bool()> engineBusy);

    // In list order, and by name ("aUpload").
    const QList<QAction*>& List() const { return actions_; }
    QAction* Action(const QString& name) const { return actionsByName_.value(name, nullptr); }
    // The command an action runs; actions without one do nothing when triggered.
    void SetHandler(const QString& name, std::function<void()> handler);
    // Runs the command by name as the action's trigger does (double clicks, drops).
    void Run(const QString& name);

    void AddEnablingRule(TEnablingRule rule)
    {
        enablingRules_.append(std::move(rule));
        updatedFor_.reset();
    }
    void Update(const TEnablingFacts& facts);
    // The last update saw the engine busy (and held its actions back).
    bool ShowsEngineBusy() const { return showsEngineBusy_; }

private:
    std::function<bool()> engineBusy_;
    QList<QAction*> actions_;
    QMap<QString, QAction*> actionsByName_;
    QSet<QString> engineActions_;
    QMap<QString, std::function<void()>> handlers_;
    QList<TEnablingRule> enablingRules_;
    bool showsEngineBusy_ = false;
    // What the last update decided from: the states follow from these alone.
    std::optional<TEnablingFacts> updatedFor_;
    // The actions the last update switched off for the busy engine.
    QSet<QString> heldForEngine_;
};
