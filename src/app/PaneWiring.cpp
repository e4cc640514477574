#include "app/PaneWiring.h"

#include "app/WindowActions.h"
#include "panes/DirBoxBehaviour.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/PaneDropTarget.h"
#include "service/ExceptionGuard.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeView>

namespace {

// The keys of a file list as file managers take them. A key the user has given a command of the
// menus runs that command instead: shortcuts come first.
class TRowKeys : public QObject {
public:
    TRowKeys(QAbstractItemView& view, QHash<int, std::function<void()>> commands)
        : QObject(&view), commands_(std::move(commands))
    {
        view.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto command = commands_.constFind(key->key());
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || command == commands_.constEnd())
            return false;
        (*command)();
        return true;
    }

private:
    QHash<int, std::function<void()>> commands_;
};

}  // namespace

void WirePane(QObject& context, const TPaneWiring& pane)
{
    new TDirBoxBehaviour(pane.dirBox, pane.lastDirBoxKey, Guarded(pane.refresh));
    pane.maskBox.setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(pane.maskBox.lineEdit(), &QLineEdit::editingFinished, &context, Guarded(pane.maskBoxExit));
    QHeaderView* header = pane.views.Report().header();
    header->setSectionsClickable(true);
    QObject::connect(header, &QHeaderView::sectionClicked, &context, Guarded(pane.columnClick));

    TFileViewStack& views = pane.views;
    TWindowActions& actions = pane.actions;
    const auto doubleClick = [&views, &actions, option = pane.doubleClickOption, viewAction = pane.viewAction,
                              transferAction = pane.transferAction, openFolder = pane.openFolder] {
        const TFileRow* row = views.FirstSelectedRow();
        if (!row)
            return;
        if (row->entry.IsFolder())
            openFolder(row->entry);
        else if (const int choice = option(); choice == 0 || choice == 1)
            actions.Run(choice == 0 ? viewAction : transferAction);
    };
    const auto dropEnabled = [&actions, dropAction = pane.dropAction] { return actions.Action(dropAction)->isEnabled(); };
    const auto whenEnabled = [&actions](const QString& name) {
        return Guarded([&actions, name] {
            if (QAction* command = actions.Action(name); command->isEnabled())
                command->trigger();
        });
    };
    const QHash<int, std::function<void()>> keys = {{Qt::Key_Return, Guarded(doubleClick)},
                                                    {Qt::Key_Enter, Guarded(doubleClick)},
                                                    {Qt::Key_Backspace, whenEnabled(pane.folderUpAction)},
                                                    {Qt::Key_Delete, whenEnabled(pane.deleteAction)}};
    for (QAbstractItemView* view : views.Views()) {
        QObject::connect(view, &QAbstractItemView::doubleClicked, &context, Guarded(doubleClick));
        new TRowKeys(*view, keys);
        new TPaneDropTarget(
            *view, pane.droppedRowsFormat, [connected = pane.connected, dropEnabled] { return connected() && dropEnabled(); },
            Guarded([&actions, dropAction = pane.dropAction, dropEnabled] {
                if (dropEnabled())
                    actions.Run(dropAction);
            }));
    }
}
