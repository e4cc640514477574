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
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeView>

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
    for (QAbstractItemView* view : views.Views()) {
        QObject::connect(view, &QAbstractItemView::doubleClicked, &context, Guarded(doubleClick));
        new TPaneDropTarget(
            *view, pane.droppedRowsFormat, [connected = pane.connected, dropEnabled] { return connected() && dropEnabled(); },
            Guarded([&actions, dropAction = pane.dropAction, dropEnabled] {
                if (dropEnabled())
                    actions.Run(dropAction);
            }));
    }
}
