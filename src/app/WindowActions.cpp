#include "app/WindowActions.h"

#include "app/ActionIcons.h"
#include "app/ActionTable.h"
#include "service/ExceptionGuard.h"

#include <QAction>
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
    // What the last pass held back for the busy engine comes back first; the rules then decide
    // for their own actions, and actions without a rule keep the state they had.
    for (const QString& name : std::exchange(heldForEngine_, {}))
        Action(name)->setEnabled(true);
    const TActionSwitch actions([this](const QString& name) { return Action(name); });
    for (const TEnablingRule& rule : enablingRules_)
        rule(facts, actions);

    showsEngineBusy_ = engineBusy_();
    if (!showsEngineBusy_)
        return;
    for (const QString& name : engineActions_) {
        QAction* action = Action(name);
        if (action->isEnabled()) {
            heldForEngine_.insert(name);
            action->setEnabled(false);
        }
    }
}
