#pragma once
#include "ftp/IdAntiFreeze.h"
#include "ftp/IdFTP.h"
#include "ftp/IdLogEvent.h"
#include "platform/ListFile.h"
#include "settings/UserDialogs.h"
#include "settings/WindowSettings.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QAbstractItemView;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QBoxLayout;
class TEditor;
class TFileOperationLog;
class TIdleHook;
class TSessionLog;
class TTerminationSignals;

// The main window: composition root of the program. It builds the controls, menus and
// toolbars, owns the actions and the shared state, and wires every action to its handler.
class TFileListModel;
class TFileViewStack;
class TLocalPane;
class TLocalFileOps;
class TMainForm : public QMainWindow, public TSettingsWindow {
    Q_OBJECT
public:
    // arguments: the command line after the program name.
    explicit TMainForm(const QStringList& arguments, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Files of the program.
    const QString& AppDir() const { return appDir_; }
    const QString& LstDir() const { return lstDir_; }
    QString SettingsPath() const;
    QString ProgramFile(const char* name) const;

    // Shared state read by the subsystems.
    QString ProfileName;
    StringList TextExtList;
    StringList SkipExtList;
    StringList NoDeleteExtList;
    StringList ImageExtList;
    bool InTransfer = false;
    bool TransferCompleted = false;
    QString TransferModeName;
    // The key last pressed in either directory box.
    int LastDirBoxKey = 0;

    // Actions, in list order, and by name ("aUpload").
    const QList<QAction*>& ActionList1() const { return actions_; }
    QAction* Action(const QString& name) const;
    // The command an action runs; actions without one do nothing when triggered.
    void SetActionHandler(const QString& name, std::function<void()> handler);

    // Busy state and action enabling.
    void EnterBusyState();
    void LeaveBusyState();
    bool BusyFlag() const { return busy_; }
    void UpdateActionStates();
    void SetRemoteMenuEnabled(bool enabled);
    bool RemoteMenuEnabled() const;

    // Status bar panels 0 to 4.
    void SetStatusPanel(int index, const QString& text);
    QString StatusPanelText(int index) const;

    TUserDialogs& Dialogs() { return *dialogs_; }
    void SetDialogs(std::unique_ptr<TUserDialogs> dialogs);
    TSessionLog& SessionLog() { return *sessionLog_; }
    TFileOperationLog& FileOperationLog() { return *fileOperationLog_; }
    TEditor* LogPane() const { return eeLog_; }

    // Hooks of subsystems that land later: listing the local pane, and the disconnect
    // handling after an engine socket error.
    std::function<void()> FillLocalFileList;
    std::function<void()> HandleEngineSocketError;
    // Saves the last local and remote directories of the profile in use (connection profiles).
    std::function<void()> SaveProfileState;

    // The FTP engine, owned for the whole run, with its log hook and message pump.
    TIdFTP IdFTP1;
    TIdLogEvent IdLogEvent1;
    TIdAntiFreeze IdAntiFreeze1;
    // The engine's connected state.
    bool SessionConnected();

    // The application-wide handler for exceptions no command caught.
    void HandleUncaughtException(std::exception_ptr error);

    // TSettingsWindow.
    QRect FormBounds() const override;
    void SetFormBounds(const QRect& bounds) override;
    int LocalSysGroupBoxWidth() const override;
    void SetLocalSysGroupBoxWidth(int width) override;
    int PanelLMHeight() const override;
    void SetPanelLMHeight(int height) override;
    int PanelRUHeight() const override;
    void SetPanelRUHeight(int height) override;
    int LogHeight() const override;
    void SetLogHeight(int height) override;
    int ToolBarAlign(TToolBarId bar) const override;
    void SetToolBarAlign(TToolBarId bar, int edge) override;
    bool Checked(TCheckMark mark) const override;
    void SetChecked(TCheckMark mark, bool checked) override;
    QString LocalMask() const override;
    void SetLocalMask(const QString& mask) override;
    QString RemoteMask() const override;
    void SetRemoteMask(const QString& mask) override;
    TWindowOptions& Options() override { return options_; }
    const TWindowOptions& Options() const override { return options_; }
    QString LocalDirectory() const override;
    void SetLocalDirectory(const QString& path) override;
    int LogColor(TLogColorClass kind) const override;
    void SetLogColor(TLogColorClass kind, int value) override;
    void SetKeepAliveEnabled(bool enabled) override;
    bool HeaderFlat() const override { return headerFlat_; }
    void SetHeaderFlat(bool flat) override;
    void SetPaneToolBarsFlat(bool flat) override;
    void SetHeaderCaptionsBesideImages(bool beside) override;
    void RemoveHeaderImages() override;
    void SetHeaderShowCaptions(bool show) override;
    bool HeaderVisible() const override;
    void SetHeaderVisible(bool visible) override;
    void SetPaneToolBarsVisible(bool visible) override;
    void SetToolBarButtonWidth(int width) override;
    void ShowViewStyle(TViewStyle style) override;
    void ShowTransferMode(TTransferChoice mode) override;

    bool HeaderImagesShown() const { return headerImages_; }
    TViewStyle CurrentViewStyle() const { return viewStyle_; }
    QTimer* StartupTimer() const { return timer1_; }
    QTimer* NoDisconnectTimer() const { return noDisconnectTimer_; }
    // The program file aOpenNewWindow starts (this program's own path).
    void SetProgramPath(const QString& path) { programPath_ = path; }

signals:
    // The local directory changed (the local pane lists it).
    void LocalDirectoryChanged(const QString& path);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Building (MainFormLayout.cpp, MainFormActions.cpp).
    void BuildLayout();
    QWidget* BuildLocalGroupBox();
    QWidget* BuildRemoteGroupBox();
    void BuildStatusBar();
    void CreateActions();
    void BuildMenus();
    void AttachContextMenus();
    void ApplyDesignedSizes();
    void BuildToolBars();
    QMenu* BuildMenu(const QString& title, const QString& name, const QStringList& items, const QString& suffix);
    QToolButton* AddDropDownButton(QToolBar* bar, const QString& name, QMenu* menu);
    void BindDropDownButtons();
    void ApplyHeaderButtonStyle();
    void PlacePaneToolBar(QBoxLayout* layout, QToolBar* bar, QWidget* view, int edge, int designedEdge);

    // Start-up and close (MainForm.cpp).
    void RunCreationSteps(const QStringList& arguments);
    void Timer1Timer();
    void FirstShow();
    void RunCloseSteps();
    void CloseSession();

    // Commands of the window itself (MainFormCommands.cpp).
    void InstallWindowCommands();
    void SelectViewStyle(TViewStyle style);
    void SelectTransferMode(TTransferChoice mode);
    void aOpenNewWindowExecute();
    void aExplorerExecute();
    void aTopicsExecute();
    void aAboutExecute();
    void aExitExecute();
    void aCurrentSessionLog1Execute();
    void aUploadDownloadLog1Execute();
    void ShowLogFile(const QString& path);

    void RunAction(const QString& name);
    // The local pane over the local list view, with its hooks.
    void SetUpLocalPane();
    void LocalFileListViewDblClick(const TFileListModel& model);
    void SetUpLocalFileOps(const TFileListModel& model);
    // Rows selected in the local file list, in list order.
    QList<int> SelectedLocalRows() const;
    // The design-time settings of the engine, its log hook and its message pump.
    void SetUpEngine();
    // Ends the session at close: ABOR first when a transfer runs, then QUIT.
    void CloseEngine(bool abortTransfer);

    QString appDir_;
    QString programPath_;
    QString lstDir_;
    TWindowOptions options_;
    bool busy_ = false;
    bool closeStepsDone_ = false;
    std::unique_ptr<TUserDialogs> dialogs_;

    QList<QAction*> actions_;
    QMap<QString, QAction*> actionsByName_;
    QMap<QString, std::function<void()>> handlers_;

    QToolBar* headerToolBar_ = nullptr;
    QToolBar* localSysToolBar_ = nullptr;
    QToolBar* remoteSysToolBar_ = nullptr;
    QToolButton* modeBtn_ = nullptr;
    QToolButton* listViewBtn_ = nullptr;
    QToolButton* showLogBtn_ = nullptr;
    QToolButton* localFileNameBtn_ = nullptr;
    QToolButton* remoteFileNameBtn_ = nullptr;
    QMap<QString, QMenu*> subMenus_;
    QMenu* remoteMenu_ = nullptr;
    QMenu* localPopupMenu_ = nullptr;
    QMenu* remotePopupMenu_ = nullptr;
    int headerAlign_ = 1;
    int localSysAlign_ = 4;
    int remoteSysAlign_ = 3;
    bool headerFlat_ = true;
    bool headerImages_ = true;
    bool headerCaptions_ = false;
    bool headerCaptionsBeside_ = false;
    TViewStyle viewStyle_ = TViewStyle::Report;

    QSplitter* mainSplitter_ = nullptr;   // main panel above, log pane below
    QSplitter* paneSplitter_ = nullptr;   // local left, remote right
    QSplitter* localSplitter_ = nullptr;  // drive/mask/directory list above the file list
    QSplitter* remoteSplitter_ = nullptr; // profile/mask/tree above the file list
    QGroupBox* localSysGroupBox_ = nullptr;
    QGroupBox* remoteSysGroupBox_ = nullptr;
    QBoxLayout* localFileArea_ = nullptr;
    QBoxLayout* remoteFileArea_ = nullptr;
    QComboBox* localDriveBox_ = nullptr;
    QComboBox* localMaskBox_ = nullptr;
    QListWidget* localDirListBox_ = nullptr;
    QComboBox* localDirBox_ = nullptr;
    TFileViewStack* localFileViews_ = nullptr;
    QAbstractItemView* localFileListView_ = nullptr;  // the report view of localFileViews_
    QComboBox* profileNameBox_ = nullptr;
    QComboBox* remoteMaskBox_ = nullptr;
    QTreeWidget* remoteSysTreeView_ = nullptr;
    QComboBox* remoteDirBox_ = nullptr;
    TFileViewStack* remoteFileViews_ = nullptr;
    QAbstractItemView* remoteFileListView_ = nullptr;  // the report view of remoteFileViews_
    TEditor* eeLog_ = nullptr;
    QLabel* statusPanels_[5] = {};

    std::unique_ptr<TSessionLog> sessionLog_;
    std::unique_ptr<TLocalPane> localPane_;
    std::unique_ptr<TLocalFileOps> localFileOps_;
    std::unique_ptr<TFileOperationLog> fileOperationLog_;
    QTimer* timer1_ = nullptr;
    QTimer* noDisconnectTimer_ = nullptr;
    TIdleHook* idleHook_ = nullptr;
    TTerminationSignals* terminationSignals_ = nullptr;
};
