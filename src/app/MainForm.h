#pragma once
// TMainForm is the composition root: it builds the controls (WindowLayout), owns the session
// service with its engine and the shared state structs (settings/WindowState.h), creates one object per subsystem and
// wires each action to its handler. A new subsystem is added like the local file operations:
//  1. One class in its folder (src/session/TSession, ...) whose constructor takes a narrow
//     sources struct: references to exactly the shared state, controls, service and logs it
//     uses, plus std::function callbacks for what it asks of others. It never sees TMainForm.
//  2. Construction: a SetUp<Subsystem>() of the window that fills that struct from controls_,
//     the shared structs and the other subsystems, and keeps the object in a unique_ptr.
//  3. Action wiring: one SetActionHandler("aName", ...) line per action it carries out; the
//     handler runs guarded, so its errors reach HandleUncaughtException.
//  4. Enabling: AddEnablingRule() with the subsystem's rule for its own actions. Actions that
//     talk to the server are marked usesEngine in ActionTable.cpp; the window disables them
//     while the service runs a job, so a rule never needs to look at that.
#include "app/FocusKeeper.h"
#include "app/WindowActions.h"
#include "app/WindowLayout.h"
#include "app/WindowSettingsAdapter.h"
#include "ftp/IdFTP.h"
#include "ftp/IdLogEvent.h"
#include "service/SessionService.h"
#include "settings/ActionEnabling.h"
#include "settings/BusyDisplay.h"
#include "settings/UserDialogs.h"
#include "settings/WindowState.h"

#include <QMainWindow>
#include <QMap>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>

class QTimer;
class TEditor;
class TFileListModel;
class TFileOperationLog;
class TIdleHook;
class TImagePreview;
class TLocalFileOps;
class TLocalPane;
class TRemoteFileOps;
class TMainMenuShortcuts;
class TOptionCommands;
class TSession;
class TFileTransfers;
class TRemotePane;
class TBookmarks;
class TFileViewStack;
class TTransferQueue;
class TFolderTransfers;
struct TFileEntry;
class TSessionLog;
class TTerminationSignals;
class TTransferProgress;
class TWindowCommands;
class TWindowLists;
class TWindowPanes;

class TMainForm : public QMainWindow, public TBusyDisplay {
    Q_OBJECT
    // First, so that IdFTP1 can refer to its engine.
    TSessionService service_;

public:
    // arguments: the command line after the program name.
    explicit TMainForm(const QStringList& arguments, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Shared state.
    TWindowOptions& Options() { return options_; }
    const TWindowOptions& Options() const { return options_; }
    TExtensionLists& Extensions() { return extensions_; }
    bool BusyFlag() const override { return busy_.BusyFlag; }

    TWindowActions& Actions() { return actions_; }
    QAction* Action(const QString& name) const { return actions_.Action(name); }

    // Busy state and action enabling.
    void EnterBusyState() override;
    void LeaveBusyState() override;
    void HoldPanes(bool hold) override;
    void UpdateActionStates();
    // True while the service runs a job. The window's events are handled meanwhile; commands
    // that would need the engine stay disabled.
    bool EngineBusy() const { return service_.Running(); }
    void SetRemoteMenuEnabled(bool enabled);
    bool RemoteMenuEnabled() const;

    // Status bar panels 0 to 4.
    void SetStatusPanel(int index, const QString& text) override;
    QString StatusPanelText(int index) const;

    TUserDialogs& Dialogs() { return dialogs_; }
    void SetDialogs(std::unique_ptr<TUserDialogs> dialogs) { dialogs_.Replace(std::move(dialogs)); }
    TFileOperationLog& FileOperationLog() { return *fileOperationLog_; }
    TEditor* LogPane() const { return controls_.eeLog; }
    const TWindowControls& Controls() const { return controls_; }
    TWindowSettingsAdapter& Settings() { return *settings_; }
    const TWindowSettingsAdapter& Settings() const { return *settings_; }
    TLocalPane& LocalPane() { return *localPane_; }
    TImagePreview& ImagePreview() { return *imagePreview_; }
    TRemotePane& RemotePane() { return *remotePane_; }
    TTransferProgress& TransferProgress() { return *transferProgress_; }

    // The session service, owned for the whole run, and its engine with the log hook. The
    // engine's settings are written between jobs; everything else goes through the service.
    TSessionService& Service() { return service_; }
    TTransferQueue& TransferQueue() { return *transferQueue_; }
    TIdFTP& IdFTP1;
    TIdLogEvent IdLogEvent1;
    bool SessionConnected() const;

    // The application-wide handler for exceptions no command caught.
    void HandleUncaughtException(std::exception_ptr error);

    QTimer* StartupTimer() const { return timer1_; }
    QTimer* NoDisconnectTimer() const { return noDisconnectTimer_; }

signals:
    // The local directory changed (the local pane lists it).
    void LocalDirectoryChanged(const QString& path);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The settings file, "Marlux.ini" in the program directory.
    QString SettingsPath() const;

    // Start-up and close (MainForm.cpp).
    void RunCreationSteps(const QStringList& arguments);
    void Timer1Timer();
    // Connects to the address the command line gave (MainFormSession.cpp).
    void ConnectToStartUrl();
    void FirstShow();
    void RunCloseSteps();

    // Subsystems (MainFormLocalPane.cpp).
    void SetUpLocalPane();
    void SetUpLocalFileOps();
    // MainFormPreview.cpp.
    void SetUpImagePreview();

    // The options dialog and the shortcut keys (MainFormOptions.cpp).
    void SetUpOptionCommands();

    // The remote pane, the bookmarks and what both file lists share (MainFormRemotePane.cpp).
    void SetUpRemotePane();
    void SetUpBookmarks();
    // MainFormRemoteFileOps.cpp.
    void SetUpRemoteFileOps();
    // The engine (MainFormEngine.cpp): design-time settings, the log hook and the service's
    // handlers.
    void SetUpEngine();
    // The work events, the progress window and the abort request (MainFormTransferProgress.cpp).
    void SetUpTransferProgress();
    // An engine socket error ends the session as if the server had dropped it.
    void EngineSocketError();

    // The session (MainFormSession.cpp): connect command, engine notifications, keep-alive and
    // the profile box.
    void SetUpSession();

    // The file transfers (MainFormTransfers.cpp).
    void SetUpFileTransfers();
    // The folder transfers (MainFormFolderTransfers.cpp), over the file transfers.
    void SetUpFolderTransfers();
    // The queue and its connections, before the transfers that hand it their files.
    void SetUpTransferQueue();
    // The remote pane's relist after a queue run, once no command holds the session's connection.
    void RelistRemoteWhenFree();

    QString appDir_;
    QString lstDir_;
    TWindowOptions options_;
    TExtensionLists extensions_;
    TTransferState transfer_;
    TSessionState session_;
    TBusyState busy_;
    // The focus across the busy state and across the panes held for a job.
    TFocusKeeper busyFocus_;
    TFocusKeeper heldFocus_;
    int lastDirBoxKey_ = 0;
    bool closeStepsDone_ = false;
    // An ftp:// address given on the command line, connected to instead of the dialog.
    QString startUrl_;
    TDialogsInForce dialogs_;

    TWindowActions actions_;

    TWindowControls controls_;
    QTimer* timer1_ = nullptr;
    QTimer* noDisconnectTimer_ = nullptr;
    std::unique_ptr<TWindowSettingsAdapter> settings_;
    std::unique_ptr<TSessionLog> sessionLog_;
    std::unique_ptr<TFileOperationLog> fileOperationLog_;
    std::unique_ptr<TLocalPane> localPane_;
    std::unique_ptr<TLocalFileOps> localFileOps_;
    std::unique_ptr<TImagePreview> imagePreview_;
    std::unique_ptr<TMainMenuShortcuts> menuShortcuts_;
    std::unique_ptr<TOptionCommands> optionCommands_;
    std::unique_ptr<TWindowCommands> windowCommands_;
    std::unique_ptr<TWindowLists> windowLists_;
    std::unique_ptr<TSession> sessionControl_;
    std::unique_ptr<TRemotePane> remotePane_;
    std::unique_ptr<TRemoteFileOps> remoteFileOps_;
    std::unique_ptr<TBookmarks> bookmarks_;
    std::unique_ptr<TTransferProgress> transferProgress_;
    std::unique_ptr<TWindowPanes> transferPanes_;
    std::unique_ptr<TFileTransfers> fileTransfers_;
    std::unique_ptr<TFolderTransfers> folderTransfers_;
    // Last: its connections' threads stop before what their jobs use goes.
    std::unique_ptr<TTransferQueue> transferQueue_;
    bool remoteRelistPending_ = false;
    TIdleHook* idleHook_ = nullptr;
    TTerminationSignals* terminationSignals_ = nullptr;
};
