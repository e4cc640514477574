// Actions, menus, context menus and toolbars of the main window.
#include "app/ActionIcons.h"
#include "app/ActionTable.h"
#include "app/ExceptionGuard.h"
#include "app/MainForm.h"

#include "panes/FileViewStack.h"
#include "app/MenuItemLink.h"

#include <QAbstractItemView>
#include <QMenuBar>
#include <QLayout>
#include <QToolBar>
#include <QToolButton>

namespace {

const QString Separator = QStringLiteral("-");

// The submenus that actions open, by the action that opens them.
const QMap<QString, QStringList>& SubMenuItems()
{
    static const QMap<QString, QStringList> items = {
        {"aTransformAndUpload", {"aUploadAsIs", "aUploadUpperCase", "aUploadLowerCase"}},
        {"aTransformAndUploadAll", {"aUploadAllAsIs", "aUploadAllUpperCase", "aUploadAllLowerCase"}},
        {"aLocalFileName", {"aLocalRename", "aLocalExtModify", "-", "aLocalUpperCase", "aLocalLowerCase"}},
        {"aTransformAndDownload", {"aDownloadAsIs", "aDownloadUpperCase", "aDownloadLowerCase"}},
        {"aTransformAndDownloadAll", {"aDownloadAllAsIs", "aDownloadAllUpperCase", "aDownloadAllLowerCase"}},
        {"aRemoteFileName", {"aRemoteRename", "aRemoteExtModify", "-", "aRemoteUpperCase", "aRemoteLowerCase"}},
        {"aShowLog", {"aCurrentSessionLog1", "aUploadDownloadLog1"}},
        {"aTransferType", {"aTypeASCII", "aTypeBinary", "aTypeAuto"}},
        {"aListView", {"aReport", "aList", "aSmallIcon"}},
    };
    return items;
}

// Menu items are named after their action without the leading "a".
QString MenuItemName(const QString& actionName, const QString& suffix)
{
    return actionName.mid(1) + suffix;
}

}  // namespace

void TMainForm::CreateActions()
{
    for (const TActionSpec& spec : ActionTable()) {
        const QString name = QString::fromLatin1(spec.name);
        auto* action = new QAction(this);
        action->setObjectName(name);
        action->setText(QString::fromUtf8(spec.caption));
        action->setToolTip(ActionHint(action->text()));
        action->setStatusTip(action->toolTip());
        action->setProperty("category", QString::fromUtf8(spec.category));
        action->setProperty("imageIndex", spec.imageIndex);
        action->setShortcut(QKeySequence(QString::fromLatin1(spec.shortcut), QKeySequence::PortableText));
        action->setEnabled(spec.startsEnabled);
        action->setCheckable(spec.checkable);
        action->setChecked(spec.startsChecked);
        action->setIcon(ActionIcon(spec.imageIndex));
        action->setIconVisibleInMenu(false);
        addAction(action);  // the shortcut works wherever the focus is in the window
        connect(action, &QAction::triggered, this, Guarded([this, name](bool) { RunAction(name); }));
        actions_.append(action);
        actionsByName_.insert(name, action);
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
    const auto it = handlers_.constFind(name);
    if (it != handlers_.constEnd() && *it)
        (*it)();
}

QMenu* TMainForm::BuildMenu(const QString& title, const QString& name, const QStringList& items, const QString& suffix)
{
    auto* menu = new QMenu(title, this);
    menu->setObjectName(name);
    menu->setToolTipsVisible(false);
    for (const QString& item : items) {
        if (item == Separator) {
            menu->addSeparator();
            continue;
        }
        auto* menuItem = new TMenuItem(MenuItemName(item, suffix), Action(item), menu);
        if (SubMenuItems().contains(item))
            menuItem->setMenu(BuildMenu(menuItem->text(), menuItem->objectName() + "Menu", SubMenuItems().value(item), suffix));
        menu->addAction(menuItem);
    }
    return menu;
}

void TMainForm::BuildMenus()
{
    const QString none;
    menuBar()->addMenu(BuildMenu(QStringLiteral("ウインドウ(&F)"), "WindowMenu",
                                 {"aConnect", "-", "aAbort", "-", "aOpenNewWindow", "-", "aExit"}, none));
    menuBar()->addMenu(BuildMenu(QStringLiteral("ローカル(&L)"), "LocalMenu",
                                 {"aUpload", "aUploadAll", "-", "aTransformAndUpload", "aTransformAndUploadAll", "-",
                                  "aUploadAppend", "-", "aLocalFileOpen", "aLocalFileView", "-", "aLocalDirectoryUp",
                                  "aLocalRefresh", "aLocalSelectAll", "aLocalMkDir", "aLocalFileName",
                                  "aLocalFileDelete", "-", "aLocalDetail", "-", "aLocalBookmark"},
                                 none));
    remoteMenu_ = BuildMenu(QStringLiteral("リモート(&R)"), "RemoteMenu",
                            {"aDownload", "aDownloadAll", "-", "aTransformAndDownload", "aTransformAndDownloadAll", "-",
                             "aDownloadRestore", "-", "aRemoteFileView", "-", "aRemoteDirectoryUp", "aRemoteRefresh",
                             "aRemoteSelectAll", "aRemoteMkDir", "aRemoteFileName", "aRemoteFileDelete", "aChmod", "-",
                             "aRemoteDetail", "-", "aRemoteBookmark"},
                            none);
    remoteMenu_->menuAction()->setObjectName(QStringLiteral("Remote"));
    menuBar()->addMenu(remoteMenu_);
    SetRemoteMenuEnabled(false);
    menuBar()->addMenu(BuildMenu(QStringLiteral("ツール(&T)"), "ToolMenu", {"aShowLog", "-", "aExplorer"}, none));
    menuBar()->addMenu(BuildMenu(QStringLiteral("オプション(&O)"), "OptionMenu",
                                 {"aTransferType", "-", "aListView", "-", "aSetKey", "aOption"}, none));
    menuBar()->addMenu(BuildMenu(QStringLiteral("ヘルプ(&H)"), "HelpMenu", {"aTopics", "-", "aAbout"}, none));

    const QString twin = QStringLiteral("0");
    localPopupMenu_ = BuildMenu(QString(), "LocalPopupMenu",
                                {"aUpload", "aUploadAll", "-", "aTransformAndUpload", "aTransformAndUploadAll", "-",
                                 "aLocalFileOpen", "aLocalFileView", "-", "aLocalFileName", "aLocalFileDelete", "-",
                                 "aLocalMkDir", "-", "aLocalSelectAll"},
                                twin);
    remotePopupMenu_ = BuildMenu(QString(), "RemotePopupMenu",
                                 {"aDownload", "aDownloadAll", "-", "aTransformAndDownload",
                                  "aTransformAndDownloadAll", "-", "aRemoteFileView", "-", "aRemoteFileName",
                                  "aRemoteFileDelete", "aChmod", "-", "aRemoteMkDir", "-", "aRemoteSelectAll"},
                                 twin);

    // The drop-down toolbar buttons open the same submenus, bound to the actions themselves.
    for (auto it = SubMenuItems().constBegin(); it != SubMenuItems().constEnd(); ++it) {
        auto* menu = new QMenu(this);
        for (const QString& item : it.value()) {
            if (item == Separator)
                menu->addSeparator();
            else
                menu->addAction(Action(item));
        }
        subMenus_.insert(it.key(), menu);
    }
}

void TMainForm::AttachContextMenus()
{
    const auto attach = [this](QAbstractItemView* view, QMenu* popup) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                Guarded([view, popup](const QPoint& at) { popup->popup(view->viewport()->mapToGlobal(at)); }));
    };
    for (QAbstractItemView* view : localFileViews_->Views())
        attach(view, localPopupMenu_);
    for (QAbstractItemView* view : remoteFileViews_->Views())
        attach(view, remotePopupMenu_);
}

void TMainForm::SetRemoteMenuEnabled(bool enabled)
{
    remoteMenu_->menuAction()->setEnabled(enabled);
}

bool TMainForm::RemoteMenuEnabled() const
{
    return remoteMenu_->menuAction()->isEnabled();
}

QToolButton* TMainForm::AddDropDownButton(QToolBar* bar, const QString& name, QMenu* menu)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(name);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(button);
    return button;
}

void TMainForm::BuildToolBars()
{
    headerToolBar_ = new QToolBar(this);
    headerToolBar_->setObjectName(QStringLiteral("HeaderToolBar"));
    headerToolBar_->setMovable(false);
    headerToolBar_->setStyleSheet(QStringLiteral("QToolBar#HeaderToolBar { border: 1px solid palette(mid); }"));
    headerToolBar_->addAction(Action("aConnect"));
    headerToolBar_->addAction(Action("aAbort"));
    modeBtn_ = AddDropDownButton(headerToolBar_, "ModeBtn", subMenus_.value("aTransferType"));
    listViewBtn_ = AddDropDownButton(headerToolBar_, "ListViewBtn", subMenus_.value("aListView"));
    showLogBtn_ = AddDropDownButton(headerToolBar_, "ShowLogBtn", subMenus_.value("aShowLog"));
    headerToolBar_->addAction(Action("aOption"));
    headerToolBar_->addAction(Action("aExplorer"));
    headerToolBar_->addAction(Action("aExit"));
    addToolBar(Qt::TopToolBarArea, headerToolBar_);

    const auto paneBar = [this](const char* name) {
        auto* bar = new QToolBar(this);
        bar->setObjectName(QString::fromLatin1(name));
        bar->setMovable(false);
        bar->setOrientation(Qt::Vertical);
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        bar->setIconSize(QSize(14, 14));
        bar->layout()->setSpacing(0);
        bar->layout()->setContentsMargins(0, 0, 0, 0);
        // Eleven buttons fit beside the file list at the design size.
        bar->setStyleSheet(QStringLiteral("QToolButton { padding: 0px; margin: 0px; }"));
        return bar;
    };
    localSysToolBar_ = paneBar("LocalSysToolBar");
    for (const char* name : {"aLocalDirectoryUp", "aUploadAll", "aUpload", "aLocalFileOpen", "aLocalRefresh",
                             "aLocalMkDir", "aLocalFileDelete"})
        localSysToolBar_->addAction(Action(name));
    localFileNameBtn_ = AddDropDownButton(localSysToolBar_, "LocalFileNameBtn", subMenus_.value("aLocalFileName"));
    for (const char* name : {"aLocalFileView", "aLocalBookmark", "aLocalDetail"})
        localSysToolBar_->addAction(Action(name));

    remoteSysToolBar_ = paneBar("RemoteSysToolBar");
    for (const char* name : {"aRemoteDirectoryUp", "aDownloadAll", "aDownload", "aChmod", "aRemoteRefresh",
                             "aRemoteMkDir", "aRemoteFileDelete"})
        remoteSysToolBar_->addAction(Action(name));
    remoteFileNameBtn_ = AddDropDownButton(remoteSysToolBar_, "RemoteFileNameBtn", subMenus_.value("aRemoteFileName"));
    for (const char* name : {"aRemoteFileView", "aRemoteBookmark", "aRemoteDetail"})
        remoteSysToolBar_->addAction(Action(name));
}

void TMainForm::BindDropDownButtons()
{
    // The buttons take caption, hint, image and enabled state from their submenu actions and
    // still drop the submenus down.
    const auto bind = [this](QToolButton* button, const char* name) {
        QMenu* menu = button->menu();
        button->setDefaultAction(Action(name));
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
    };
    bind(modeBtn_, "aTransferType");
    bind(listViewBtn_, "aListView");
    bind(showLogBtn_, "aShowLog");
    bind(localFileNameBtn_, "aLocalFileName");
    bind(remoteFileNameBtn_, "aRemoteFileName");
    ShowTransferMode(Checked(TCheckMark::TypeASCII)    ? TTransferChoice::ASCII
                     : Checked(TCheckMark::TypeBinary) ? TTransferChoice::Binary
                                                        : TTransferChoice::Auto);
    ApplyHeaderButtonStyle();
}
