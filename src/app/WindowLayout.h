#pragma once
#include <QString>

#include <array>
#include <functional>

class QTabWidget;
class QAction;
class QBoxLayout;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMainWindow;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QWidget;
class TEditor;
class TFileViewStack;

// The controls of the main window, named after their components. The window owns them
// through Qt's parent chain; this struct only points at them.
struct TWindowControls {
    QToolBar* HeaderToolBar = nullptr;
    QToolBar* LocalSysToolBar = nullptr;
    QToolBar* RemoteSysToolBar = nullptr;
    // The drop-down buttons: ModeBtn, the list-view and log buttons, the two file-name buttons.
    QToolButton* ModeBtn = nullptr;
    QToolButton* ListViewBtn = nullptr;
    QToolButton* ShowLogBtn = nullptr;
    QToolButton* LocalFileNameBtn = nullptr;
    QToolButton* RemoteFileNameBtn = nullptr;
    QMenu* RemoteMenu = nullptr;
    QMenu* LocalPopupMenu = nullptr;
    QMenu* RemotePopupMenu = nullptr;

    QSplitter* MainSplitter = nullptr;   // main panel above, log pane below
    QSplitter* MainPanel = nullptr;      // local left, remote right
    QSplitter* LocalSplitter = nullptr;  // drive/mask/directory list above the file list
    QSplitter* RemoteSplitter = nullptr; // profile/mask/tree above the file list
    QGroupBox* LocalSysGroupBox = nullptr;
    QGroupBox* RemoteSysGroupBox = nullptr;
    // The file list with its pane toolbar, rearranged when the toolbar docks elsewhere.
    QBoxLayout* LocalFileArea = nullptr;
    QBoxLayout* RemoteFileArea = nullptr;

    QComboBox* LocalDriveBox = nullptr;
    QComboBox* LocalMaskBox = nullptr;
    QListWidget* LocalDirListBox = nullptr;
    QComboBox* LocalDirBox = nullptr;
    TFileViewStack* LocalFileListView = nullptr;
    QComboBox* ProfileNameBox = nullptr;
    QComboBox* RemoteMaskBox = nullptr;
    QTreeWidget* RemoteSysTreeView = nullptr;
    QComboBox* RemoteDirBox = nullptr;
    TFileViewStack* RemoteFileListView = nullptr;
    TEditor* eeLog = nullptr;
    QTabWidget* LogTabs = nullptr;
    std::array<QLabel*, 5> StatusPanels{};
};

using TActionLookup = std::function<QAction*(const QString&)>;

// Builds menus, toolbars, panes, log pane and status bar into the form, binding menu items
// and toolbar buttons to the actions found by name.
TWindowControls BuildWindowLayout(QMainWindow& form, const TActionLookup& action);
// The splitter sizes of the design; applied once the window has its size.
void ApplyDesignedSizes(const TWindowControls& controls);
// Gives the drop-down buttons their submenu actions' caption, hint, image and enabled state;
// they still drop the submenus down.
void BindDropDownButtons(const TWindowControls& controls, const TActionLookup& action);

// Docks a pane toolbar at an edge of its file list: 1 top, 2 bottom, 3 left, 4 right.
void PlacePaneToolBar(QBoxLayout& area, QToolBar& bar, QWidget& view, int edge);
// Gives one part (0 or 1) of a two-part splitter the size, at least 1, and the other the rest.
void SetSplitterPart(QSplitter& splitter, int index, int size);
