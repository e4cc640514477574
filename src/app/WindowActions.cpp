#include "app/WindowActions.h"

#include "app/ActionIcons.h"
#include "app/ActionTable.h"
#include "service/ExceptionGuard.h"

#include <QAction>
#include <QHash>
#include <QWidget>

#include <utility>

TWindowActions::TWindowActions(QWidget& owner, std::function<bool()> engineBusy) : engineBusy_(std::move(engineBusy))
{
    for (const TActionRow& row : ActionTable()) {
        const QString name = QString::fromLatin1(row.name);
        auto* action = new QAction(&owner);
        action->setObjectName(name);
        action->setText(QString::fromUtf8(row.caption));
        action->setToolTip(ActionHint(action->text()));
        action->setStatusTip(action->toolTip());
        action->setProperty("category", QString::fromUtf8(row.category));
        action->setProperty("imageIndex", row.imageIndex);
        action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut), QKeySequence::PortableText));
        action->setEnabled(row.startsEnabled);
        action->setCheckable(row.checkable);
        action->setChecked(row.startsChecked);
        action->setIcon(ActionIcon(row.imageIndex));
        action->setIconVisibleInMenu(false);
        owner.addAction(action);  // the shortcut works wherever the focus is in the window
        QObject::connect(action, &QAction::triggered, &owner, Guarded([this, name](bool) { Run(name); }));
        actions_.append(action);
        actionsByName_.insert(name, action);
        if (row.usesEngine)
            engineActions_.insert(name);
    }
}

void TWindowActions::SetHandler(const QString& name, std::function<void()> handler)
{
    handlers_.insert(name, std::move(handler));
}

void TWindowActions::Run(const QString& name)
{
    // Commands run by name meet the same guard as the disabled actions.
    if (engineActions_.contains(name) && engineBusy_())
        return;
    const auto it = handlers_.constFind(name);
    if (it != handlers_.constEnd() && *it)
        (*it)();
}

void TWindowActions::Update(const TEnablingFacts& facts)
{
    // The rules read nothing but the facts, and only this sets the actions: an idle moment that
    // changed neither the facts nor the engine's state (most of a transfer's) has nothing to do.
    const bool engineBusy = engineBusy_();
    if (updatedFor_ == facts && showsEngineBusy_ == engineBusy)
        return;
    updatedFor_ = facts;
    // Each action is set once per pass to its final state: switching the held ones on and off
    // again would make every menu item and button follow twice per idle moment of a walk.
    QHash<QString, bool> wanted;
    const TActionSwitch actions([&wanted](const QString& name, bool enabled) { wanted.insert(name, enabled); });
    for (const TEnablingRule& rule : enablingRules_)
        rule(facts, actions);
    // An action without a rule keeps its state; one held for the engine was enabled.
    for (const QString& name : std::as_const(heldForEngine_))
        if (!wanted.contains(name))
            wanted.insert(name, true);

    showsEngineBusy_ = engineBusy;
    QSet<QString> held;
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        const bool hold = it.value() && showsEngineBusy_ && engineActions_.contains(it.key());
        if (hold)
            held.insert(it.key());
        if (QAction* action = Action(it.key()))
            action->setEnabled(it.value() && !hold);
    }
    if (showsEngineBusy_) {
        for (const QString& name : engineActions_) {
            QAction* action = Action(name);
            if (!wanted.contains(name) && action->isEnabled()) {
                held.insert(name);
                action->setEnabled(false);
            }
        }
    }
    heldForEngine_ = std::move(held);
}
