// The controls of the main window: menus, toolbars, the two panes, the log pane and the
// status bar.
#include "app/WindowLayout.h"

#include "service/ExceptionGuard.h"
#include "app/MenuItemLink.h"
#include "log/Editor.h"
#include "panes/FileImageList.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/PaneDropTarget.h"

#include <QTabWidget>
#include <QAbstractItemView>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStorageInfo>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int SplitterWidth = 3;
constexpr int DesignedLocalWidth = 360;
constexpr int DesignedUpperHeight = 107;
constexpr int DesignedLogHeight = 61;
constexpr int PanelWidths[5] = {90, 50, 150, 300, 200};
enum Edge { Top = 1, Bottom = 2, Left = 3, Right = 4 };

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

// A hint made of a short text, "|" and a long text: the tooltip shows the short part and the
// status bar the long one; a hint without "|" is both.
void SetHint(QWidget& widget, const QString& hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    widget.setToolTip(bar < 0 ? hint : hint.left(bar));
    widget.setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

// A status bar panel of a designed width that gives way when the window is narrower, as the
// last panels of a status bar are cut off rather than widening the window. The others have a
// fixed size, so a new text only repaints them: the transfers change one for every file, and
// laying the window out again each time would cost more than a small file's transfer.
class TStatusPanel : public QLabel {
public:
    TStatusPanel(int width, bool yields, QWidget* parent) : QLabel(parent), width_(width), yields_(yields)
    {
        setFrameShape(QFrame::Panel);
        setFrameShadow(QFrame::Sunken);
        setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
        FixSize();
    }
    QSize sizeHint() const override { return {width_, LineHeight()}; }
    QSize minimumSizeHint() const override { return {yields_ ? 0 : width_, LineHeight()}; }

protected:
    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            FixSize();
    }

private:
    int LineHeight() const { return fontMetrics().height() + 2 * (frameWidth() + margin()); }
    void FixSize()
    {
        if (!yields_)
            setFixedSize(width_, LineHeight());
    }

    int width_;
    bool yields_;
};

class TLayoutBuilder {
public:
    TLayoutBuilder(QMainWindow& form, const TActionLookup& action) : form_(form), action_(action) {}
    TWindowControls Build();

private:
    // What sets the two group boxes apart.
    struct TPaneParts {
        const char* title;
        const char* name;        // "Local" or "Remote": prefix of the component names
        const char* upperName;   // "PanelLM" or "PanelRU"
        const char* lowerName;   // "PanelLB" or "PanelRB"
        QComboBox* firstBox;     // drive box or profile box, left of the mask
        QComboBox* maskBox;
        QWidget* directoryView;  // directory list or remote tree
        QComboBox* dirBox;
        TFileViewStack* fileViews;
        QToolBar* toolBar;
        int toolBarEdge;
    };

    QMenu* BuildMenu(const QString& title, const QString& name, const QStringList& items, const QString& suffix);
    void BuildMenus();
    QToolButton* AddDropDownButton(QToolBar& bar, const QString& name, const QString& submenuAction);
    void BuildToolBars();
    QGroupBox* BuildPaneGroupBox(const TPaneParts& parts, QSplitter*& splitter, QBoxLayout*& fileArea);
    void BuildPanes();
    void BuildStatusBar();

    QMainWindow& form_;
    const TActionLookup& action_;
    TWindowControls controls_;
    // The drop-down toolbar buttons' copies of the submenus, bound to the actions themselves.
    QMap<QString, QMenu*> dropDownMenus_;
};

QSplitter* MakeSplitter(Qt::Orientation orientation, const QString& name)
{
    auto* splitter = new QSplitter(orientation);
    splitter->setObjectName(name);
    splitter->setHandleWidth(SplitterWidth);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

QComboBox* MakeComboBox(const char* name, bool editable)
{
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::InsertAlphabetically);
    // Long items must not widen the panes beyond their designed sizes.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(4);
    return box;
}

QComboBox* MakeMaskBox(const char* name, const QStringList& items, const QString& hint)
{
    QComboBox* box = MakeComboBox(name, true);
    box->addItems(items);
    box->setEditText(items.front());
    SetHint(*box, hint);
    return box;
}

// One pane's file list with its model, its icons and the format of rows dragged out of it.
TFileViewStack* MakeFileViews(const char* name, const char* dragFormat)
{
    auto* model = new TFileListModel;
    model->SetIcons(FileImageList());
    model->SetDragFormat(QString::fromLatin1(dragFormat));
    return new TFileViewStack(QString::fromLatin1(name), model);
}

QToolBar* MakePaneToolBar(const char* name)
{
    auto* bar = new QToolBar;
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
}

QWidget* Row(std::initializer_list<QWidget*> widgets, QWidget* stretched)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        layout->addWidget(widget, widget == stretched ? 1 : 0);
    return row;
}

QWidget* Column(const char* name, std::initializer_list<QWidget*> widgets, QWidget* stretched)
{
    auto* column = new QWidget;
    column->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (QWidget* widget : widgets)
        layout->addWidget(widget, widget == stretched ? 1 : 0);
    return column;
}

}  // namespace

void SetSplitterPart(QSplitter& splitter, int index, int size)
{
    const QList<int> sizes = splitter.sizes();
    const int total = std::max(sizes.value(0) + sizes.value(1), size + 1);
    const int clamped = std::clamp(size, 1, total - 1);
    splitter.setSizes(index == 0 ? QList<int>{clamped, total - clamped} : QList<int>{total - clamped, clamped});
}

TWindowControls BuildWindowLayout(QMainWindow& form, const TActionLookup& action)
{
    return TLayoutBuilder(form, action).Build();
}

TWindowControls TLayoutBuilder::Build()
{
    form_.setObjectName(QStringLiteral("MainForm"));
    form_.setAcceptDrops(true);
    BuildMenus();
    BuildToolBars();
    BuildPanes();
    BuildStatusBar();
    return controls_;
}

QMenu* TLayoutBuilder::BuildMenu(const QString& title, const QString& name, const QStringList& items,
                                 const QString& suffix)
{
    auto* menu = new QMenu(title, &form_);
    menu->setObjectName(name);
    menu->setToolTipsVisible(false);
    for (const QString& item : items) {
        if (item == Separator) {
            menu->addSeparator();
            continue;
        }
        // Menu items are named after their action without the leading "a".
        auto* menuItem = new TMenuItem(item.mid(1) + suffix, action_(item), menu);
        if (SubMenuItems().contains(item))
            menuItem->setMenu(BuildMenu(menuItem->Caption(), menuItem->objectName() + "Menu", SubMenuItems().value(item), suffix));
        menu->addAction(menuItem);
    }
    return menu;
}

void TLayoutBuilder::BuildMenus()
{
    const QString none;
    QMenuBar* bar = form_.menuBar();
    bar->addMenu(BuildMenu(QStringLiteral("ウインドウ(&F)"), "WindowMenu",
                           {"aConnect", "-", "aAbort", "-", "aOpenNewWindow", "-", "aExit"}, none));
    bar->addMenu(BuildMenu(QStringLiteral("ローカル(&L)"), "LocalMenu",
                           {"aUpload", "aUploadAll", "-", "aTransformAndUpload", "aTransformAndUploadAll", "-",
                            "aUploadAppend", "-", "aLocalFileOpen", "aLocalFileView", "-", "aLocalDirectoryUp",
                            "aLocalRefresh", "aLocalSelectAll", "aLocalMkDir", "aLocalFileName", "aLocalFileDelete",
                            "-", "aLocalDetail", "-", "aLocalBookmark"},
                           none));
    controls_.RemoteMenu = BuildMenu(QStringLiteral("リモート(&R)"), "RemoteMenu",
                                     {"aDownload", "aDownloadAll", "-", "aTransformAndDownload",
                                      "aTransformAndDownloadAll", "-", "aDownloadRestore", "-", "aRemoteFileView", "-",
                                      "aRemoteDirectoryUp", "aRemoteRefresh", "aRemoteSelectAll", "aRemoteMkDir",
                                      "aRemoteFileName", "aRemoteFileDelete", "aChmod", "-", "aRemoteDetail", "-",
                                      "aRemoteBookmark"},
                                     none);
    controls_.RemoteMenu->menuAction()->setObjectName(QStringLiteral("Remote"));
    // Disabled until a session is open.
    controls_.RemoteMenu->menuAction()->setEnabled(false);
    bar->addMenu(controls_.RemoteMenu);
    bar->addMenu(BuildMenu(QStringLiteral("ツール(&T)"), "ToolMenu", {"aShowLog", "-", "aExplorer"}, none));
    bar->addMenu(BuildMenu(QStringLiteral("オプション(&O)"), "OptionMenu",
                           {"aTransferType", "-", "aListView", "-", "aSetKey", "aOption"}, none));
    bar->addMenu(BuildMenu(QStringLiteral("ヘルプ(&H)"), "HelpMenu", {"aTopics", "-", "aAbout"}, none));

    // Context-menu items are twins of the main menu's, named with the suffix "0".
    const QString twin = QStringLiteral("0");
    controls_.LocalPopupMenu = BuildMenu(QString(), "LocalPopupMenu",
                                         {"aUpload", "aUploadAll", "-", "aTransformAndUpload",
                                          "aTransformAndUploadAll", "-", "aLocalFileOpen", "aLocalFileView", "-",
                                          "aLocalFileName", "aLocalFileDelete", "-", "aLocalMkDir", "-",
                                          "aLocalSelectAll"},
                                         twin);
    controls_.RemotePopupMenu = BuildMenu(QString(), "RemotePopupMenu",
                                          {"aDownload", "aDownloadAll", "-", "aTransformAndDownload",
                                           "aTransformAndDownloadAll", "-", "aRemoteFileView", "-", "aRemoteFileName",
                                           "aRemoteFileDelete", "aChmod", "-", "aRemoteMkDir", "-",
                                           "aRemoteSelectAll"},
                                          twin);

    for (auto it = SubMenuItems().constBegin(); it != SubMenuItems().constEnd(); ++it) {
        auto* menu = new QMenu(&form_);
        for (const QString& item : it.value()) {
            if (item == Separator)
                menu->addSeparator();
            else
                menu->addAction(action_(item));
        }
        dropDownMenus_.insert(it.key(), menu);
    }
}

QToolButton* TLayoutBuilder::AddDropDownButton(QToolBar& bar, const QString& name, const QString& submenuAction)
{
    auto* button = new QToolButton(&bar);
    button->setObjectName(name);
    button->setMenu(dropDownMenus_.value(submenuAction));
    button->setPopupMode(QToolButton::InstantPopup);
    bar.addWidget(button);
    return button;
}

void TLayoutBuilder::BuildToolBars()
{
    QToolBar* header = new QToolBar(&form_);
    header->setObjectName(QStringLiteral("HeaderToolBar"));
    header->setMovable(false);
    header->setStyleSheet(QStringLiteral("QToolBar#HeaderToolBar { border: 1px solid palette(mid); }"));
    header->addAction(action_("aConnect"));
    header->addAction(action_("aAbort"));
    controls_.ModeBtn = AddDropDownButton(*header, "ModeBtn", "aTransferType");
    controls_.ListViewBtn = AddDropDownButton(*header, "ListViewBtn", "aListView");
    controls_.ShowLogBtn = AddDropDownButton(*header, "ShowLogBtn", "aShowLog");
    for (const char* name : {"aOption", "aExplorer", "aExit"})
        header->addAction(action_(name));
    form_.addToolBar(Qt::TopToolBarArea, header);
    controls_.HeaderToolBar = header;

    // The two pane toolbars: one button per action, a drop-down button for the file-name submenu.
    const struct {
        const char* name;
        const char* fileNameButton;
        const char* fileNameAction;
        std::initializer_list<const char*> items;
        QToolBar** bar;
        QToolButton** button;
    } paneBars[] = {
        {"LocalSysToolBar", "LocalFileNameBtn", "aLocalFileName",
         {"aLocalDirectoryUp", "aUploadAll", "aUpload", "aLocalFileOpen", "aLocalRefresh", "aLocalMkDir",
          "aLocalFileDelete", "aLocalFileName", "aLocalFileView", "aLocalBookmark", "aLocalDetail"},
         &controls_.LocalSysToolBar, &controls_.LocalFileNameBtn},
        {"RemoteSysToolBar", "RemoteFileNameBtn", "aRemoteFileName",
         {"aRemoteDirectoryUp", "aDownloadAll", "aDownload", "aChmod", "aRemoteRefresh", "aRemoteMkDir",
          "aRemoteFileDelete", "aRemoteFileName", "aRemoteFileView", "aRemoteBookmark", "aRemoteDetail"},
         &controls_.RemoteSysToolBar, &controls_.RemoteFileNameBtn},
    };
    for (const auto& pane : paneBars) {
        QToolBar* bar = MakePaneToolBar(pane.name);
        for (const char* item : pane.items) {
            if (QString::fromLatin1(item) == QLatin1String(pane.fileNameAction))
                *pane.button = AddDropDownButton(*bar, pane.fileNameButton, pane.fileNameAction);
            else
                bar->addAction(action_(item));
        }
        *pane.bar = bar;
    }
}

QGroupBox* TLayoutBuilder::BuildPaneGroupBox(const TPaneParts& parts, QSplitter*& splitter, QBoxLayout*& fileArea)
{
    const QString prefix = QString::fromLatin1(parts.name);
    auto* maskLabel = new QLabel(QStringLiteral("マスク"));
    maskLabel->setObjectName(prefix + "MaskLabel");
    parts.directoryView->setMinimumHeight(8);
    SetHint(*parts.directoryView, QStringLiteral("|クリックでディレクトリ変更"));
    QWidget* upper = Column(parts.upperName, {Row({parts.firstBox, maskLabel, parts.maskBox}, parts.firstBox),
                                              parts.directoryView},
                            parts.directoryView);

    auto* files = new QWidget;
    fileArea = new QBoxLayout(QBoxLayout::LeftToRight, files);
    fileArea->setContentsMargins(0, 0, 0, 0);
    fileArea->setSpacing(0);
    PlacePaneToolBar(*fileArea, *parts.toolBar, *parts.fileViews, parts.toolBarEdge);
    QWidget* lower = Column(parts.lowerName, {parts.dirBox, files}, files);

    splitter = MakeSplitter(Qt::Vertical, prefix + "Splitter");
    splitter->addWidget(upper);
    splitter->addWidget(lower);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);

    auto* group = new QGroupBox(QString::fromUtf8(parts.title));
    group->setObjectName(prefix + "SysGroupBox");
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(splitter);
    return group;
}

void TLayoutBuilder::BuildPanes()
{
    TWindowControls& c = controls_;
    c.LocalDriveBox = MakeComboBox("LocalDriveBox", false);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            c.LocalDriveBox->addItem(volume.rootPath());
    }
    c.LocalDriveBox->model()->sort(0);
    c.LocalMaskBox = MakeMaskBox("LocalMaskBox", {"*.*", "*.css", "*.htm*"}, QStringLiteral("デフォルトは\"*.*\"ですべて表示"));
    c.LocalDirListBox = new QListWidget;
    c.LocalDirListBox->setObjectName(QStringLiteral("LocalDirListBox"));
    c.LocalDirBox = MakeComboBox("LocalDirBox", true);
    c.LocalFileListView = MakeFileViews("LocalFileListView", LocalRowsFormat);
    c.LocalSysGroupBox = BuildPaneGroupBox({"ローカル", "Local", "PanelLM", "PanelLB", c.LocalDriveBox, c.LocalMaskBox,
                                            c.LocalDirListBox, c.LocalDirBox, c.LocalFileListView, c.LocalSysToolBar,
                                            Right},
                                           c.LocalSplitter, c.LocalFileArea);

    c.ProfileNameBox = MakeComboBox("ProfileNameBox", true);
    SetHint(*c.ProfileNameBox, QStringLiteral("ﾀﾞﾌﾞﾙｸﾘｯｸで接続します"));
    c.RemoteMaskBox = MakeMaskBox("RemoteMaskBox", {"", "*.css", "*.htm*"}, QStringLiteral("デフォルトは空白ですべて表示"));
    c.RemoteSysTreeView = new QTreeWidget;
    c.RemoteSysTreeView->setObjectName(QStringLiteral("RemoteSysTreeView"));
    c.RemoteSysTreeView->setHeaderHidden(true);
    c.RemoteSysTreeView->setRootIsDecorated(false);
    c.RemoteSysTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    c.RemoteSysTreeView->setSortingEnabled(true);
    c.RemoteSysTreeView->sortByColumn(0, Qt::AscendingOrder);
    c.RemoteDirBox = MakeComboBox("RemoteDirBox", true);
    c.RemoteFileListView = MakeFileViews("RemoteFileListView", RemoteRowsFormat);
    c.RemoteSysGroupBox = BuildPaneGroupBox({"リモート", "Remote", "PanelRU", "PanelRB", c.ProfileNameBox,
                                             c.RemoteMaskBox, c.RemoteSysTreeView, c.RemoteDirBox,
                                             c.RemoteFileListView, c.RemoteSysToolBar, Left},
                                            c.RemoteSplitter, c.RemoteFileArea);

    c.MainPanel = MakeSplitter(Qt::Horizontal, QStringLiteral("MainPanel"));
    c.MainPanel->addWidget(c.LocalSysGroupBox);
    c.MainPanel->addWidget(c.RemoteSysGroupBox);
    c.MainPanel->setStretchFactor(0, 0);
    c.MainPanel->setStretchFactor(1, 1);

    c.eeLog = new TEditor;
    c.eeLog->setObjectName(QStringLiteral("eeLog"));
    c.eeLog->setMinimumHeight(8);
    c.MainSplitter = MakeSplitter(Qt::Vertical, QStringLiteral("MainSplitter"));
    c.MainSplitter->addWidget(c.MainPanel);
    // The transfer queue's tab joins the log's once the queue is built.
    c.LogTabs = new QTabWidget;
    c.LogTabs->setObjectName(QStringLiteral("LogTabs"));
    c.LogTabs->setDocumentMode(true);
    c.LogTabs->addTab(c.eeLog, QStringLiteral("ログ"));
    c.MainSplitter->addWidget(c.LogTabs);
    c.MainSplitter->setStretchFactor(0, 1);
    c.MainSplitter->setStretchFactor(1, 0);
    form_.setCentralWidget(c.MainSplitter);

    const auto attach = [this](TFileViewStack* views, QMenu* popup) {
        for (QAbstractItemView* view : views->Views()) {
            view->setContextMenuPolicy(Qt::CustomContextMenu);
            QObject::connect(view, &QWidget::customContextMenuRequested, &form_, Guarded([view, popup](const QPoint& at) {
                                 popup->popup(view->viewport()->mapToGlobal(at));
                             }));
        }
    };
    attach(c.LocalFileListView, c.LocalPopupMenu);
    attach(c.RemoteFileListView, c.RemotePopupMenu);
}

void TLayoutBuilder::BuildStatusBar()
{
    auto* bar = new QStatusBar(&form_);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 5; ++i) {
        auto* panel = new TStatusPanel(PanelWidths[i], i == 4, bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        bar->addWidget(panel);
        controls_.StatusPanels[i] = panel;
    }
    form_.setStatusBar(bar);
    controls_.StatusPanels[0]->setText(QStringLiteral("未接続"));
}

void ApplyDesignedSizes(const TWindowControls& controls)
{
    SetSplitterPart(*controls.MainPanel, 0, DesignedLocalWidth);
    SetSplitterPart(*controls.LocalSplitter, 0, DesignedUpperHeight);
    SetSplitterPart(*controls.RemoteSplitter, 0, DesignedUpperHeight);
    SetSplitterPart(*controls.MainSplitter, 1, DesignedLogHeight);
}

void BindDropDownButtons(const TWindowControls& controls, const TActionLookup& action)
{
    const std::pair<QToolButton*, const char*> buttons[] = {
        {controls.ModeBtn, "aTransferType"},
        {controls.ListViewBtn, "aListView"},
        {controls.ShowLogBtn, "aShowLog"},
        {controls.LocalFileNameBtn, "aLocalFileName"},
        {controls.RemoteFileNameBtn, "aRemoteFileName"},
    };
    for (const auto& [button, name] : buttons) {
        QMenu* menu = button->menu();
        button->setDefaultAction(action(QString::fromLatin1(name)));
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
    }
}

void PlacePaneToolBar(QBoxLayout& area, QToolBar& bar, QWidget& view, int edge)
{
    area.removeWidget(&bar);
    area.removeWidget(&view);
    const bool sideways = edge == Left || edge == Right;
    area.setDirection(sideways ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    bar.setOrientation(sideways ? Qt::Vertical : Qt::Horizontal);
    if (edge == Left || edge == Top) {
        area.addWidget(&bar);
        area.addWidget(&view, 1);
    } else {
        area.addWidget(&view, 1);
        area.addWidget(&bar);
    }
}
