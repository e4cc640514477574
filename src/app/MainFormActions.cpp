// The actions of the main window: creation from the action table, handlers and enabling.
#include "app/ActionIcons.h"
#include "app/ActionTable.h"
#include "service/ExceptionGuard.h"
#include "app/MainForm.h"

#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTreeView>

#include <algorithm>
#include <utility>

namespace {

// The kind of the first selected row in list order; a row is a folder when its icon is the
// folder icon.
TSelectedKind FirstSelectedKind(const QAbstractItemView& view)
{
    const QItemSelectionModel* selection = view.selectionModel();
    if (!selection || !selection->hasSelection())
        return TSelectedKind::None;
    const QModelIndexList rows = selection->selectedRows();
    if (rows.isEmpty())
        return TSelectedKind::None;
    const QModelIndex first = *std::min_element(
        rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    return first.data(TFileListModel::FileIconIndexRole).toInt() == fiFolder ? TSelectedKind::Folder
                                                                              : TSelectedKind::File;
}

}  // namespace

void TMainForm::CreateActions()
{
    for (const TActionRow& row : ActionTable()) {
        const QString name = QString::fromLatin1(row.name);
        auto* action = new QAction(this);
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
        addAction(action);  // the shortcut works wherever the focus is in the window
        connect(action, &QAction::triggered, this, Guarded([this, name](bool) { RunAction(name); }));
        actions_.append(action);
        actionsByName_.insert(name, action);
        if (row.usesEngine)
            engineActions_.insert(name);
    }
}

QAction* TMainForm::Action(const QString& name) const
{
    return actionsByName_.value(name, nullptr);
}

void TMainForm::SetActionHandler(const QString& name, std::function<void()> handler)
{
    handlers_.insert(name, std::move(handler));
}

void TMainForm::RunAction(const QString& name)
{
    // Commands run by name (double clicks, drops) meet the same guard as the disabled actions.
    if (EngineBusy() && engineActions_.contains(name))
        return;
    const auto it = handlers_.constFind(name);
    if (it != handlers_.constEnd() && *it)
        (*it)();
}

void TMainForm::AddEnablingRule(TEnablingRule rule)
{
    enablingRules_.append(std::move(rule));
}

void TMainForm::UpdateActionStates()
{
    // What the last pass held back for the busy engine comes back first; the rules then decide
    // for their own actions, and actions without a rule keep the state they had.
    for (const QString& name : std::exchange(heldForEngine_, {}))
        Action(name)->setEnabled(true);
    TEnablingFacts facts;
    facts.connected = SessionConnected();
    facts.local = FirstSelectedKind(controls_.LocalFileListView->Report());
    if (RemoteMenuEnabled())
        facts.remote = FirstSelectedKind(controls_.RemoteFileListView->Report());
    const TActionSwitch actions([this](const QString& name) { return Action(name); });
    for (const TEnablingRule& rule : enablingRules_)
        rule(facts, actions);

    enablingShowsEngineBusy_ = EngineBusy();
    if (enablingShowsEngineBusy_) {
        for (const QString& name : engineActions_) {
            QAction* action = Action(name);
            if (action->isEnabled()) {
                heldForEngine_.insert(name);
                action->setEnabled(false);
            }
        }
    }
}

bool TMainForm::EngineBusy() const
{
    return service_.Running();
}

void TMainForm::SetRemoteMenuEnabled(bool enabled)
{
    controls_.RemoteMenu->menuAction()->setEnabled(enabled);
}

bool TMainForm::RemoteMenuEnabled() const
{
    return controls_.RemoteMenu->menuAction()->isEnabled();
}
