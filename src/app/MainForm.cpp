// Construction, start-up, close, busy state, hints, drops and the exception handler.
#include "app/MainForm.h"

#include "app/AboutBox.h"
#include "app/IdleHook.h"
#include "app/MainMenuShortcuts.h"
#include "app/TerminationSignals.h"
#include "app/WindowCommands.h"
#include "app/WindowLists.h"
#include "app/WindowPanes.h"
#include "fileops/LocalFileOps.h"
#include "fileops/RemoteFileOps.h"
#include "ftp/IdException.h"
#include "log/ErrorLine.h"
#include "log/FileOperationLog.h"
#include "log/SessionLog.h"
#include "panes/Bookmarks.h"
#include "panes/DroppedPaths.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/LocalPane.h"
#include "panes/RemotePane.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"
#include "preview/ImagePreview.h"
#include "service/Command.h"
#include "service/ExceptionGuard.h"
#include "session/Session.h"
#include "session/StartUrl.h"
#include "settings/OptionCommands.h"
#include "transfer/FileTransfers.h"
#include "transfer/FolderTransfers.h"
#include "transfer/TransferQueue.h"
#include "transfer/TransferProgress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTimer>

namespace {

const QString DefaultSection = QStringLiteral("DEFAULT");
const QString CurrentSection = QStringLiteral("CURRENT");
const QString NotConnectedTitle = QStringLiteral("Marlux - 未接続");

bool IsEngineSocketError(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EIdSocketError&) {
        return true;
    } catch (...) {
        return false;
    }
}

// A step of the exception handler that fails is skipped; the handler must not fail itself.
template <class F>
void IgnoringErrors(F step)
{
    try {
        step();
    } catch (...) {
    }
}

// The kind of the first selected row in list order; a row is a folder when its icon is the
// folder icon.
TSelectedKind FirstSelectedKind(const TFileViewStack& views)
{
    const TFileRow* row = views.FirstSelectedRow();
    if (!row)
        return TSelectedKind::None;
    return row->icon == fiFolder ? TSelectedKind::Folder : TSelectedKind::File;
}

}  // namespace

TMainForm::TMainForm(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent),
      IdFTP1(service_.Ftp()),
      dialogs_(std::make_unique<TDesktopDialogs>(this)),
      actions_(*this, [this] { return EngineBusy(); })
{
    appDir_ = QString::fromStdString(ResolveAppDir(CurrentExecutablePath()));
    const TActionLookup action = [this](const QString& name) { return Action(name); };
    controls_ = BuildWindowLayout(*this, action);
    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, Guarded([this] { Timer1Timer(); }));
    noDisconnectTimer_ = new QTimer(this);
    noDisconnectTimer_->setObjectName(QStringLiteral("NoDisconnectTimer"));
    noDisconnectTimer_->setInterval(60000);

    sessionLog_ = std::make_unique<TSessionLog>(controls_.eeLog, [this] { return options_.iMaxLog; });
    fileOperationLog_ = std::make_unique<TFileOperationLog>(appDir_, [this] { return options_.iMaxFileLog; });
    SetUpEngine();
    SetUpTransferProgress();
    SetUpLocalPane();
    SetUpLocalFileOps();
    SetUpImagePreview();
    SetUpRemotePane();
    SetUpBookmarks();
    SetUpRemoteFileOps();
    SetUpSession();
    SetUpTransferQueue();
    SetUpFileTransfers();
    SetUpFolderTransfers();
    settings_ = std::make_unique<TWindowSettingsAdapter>(TWindowSettingsAdapter::Sources{
        .form = *this,
        .controls = controls_,
        .options = options_,
        .action = action,
        .keepAliveTimer = *noDisconnectTimer_,
        .changeLocalDirectory = [this](const QString& path) { localPane_->ChangeDirectory(path); },
        .localDirectory = [this] { return localPane_->Folder(); },
    });
    windowCommands_ = std::make_unique<TWindowCommands>(TWindowCommands::Sources{
        .window = *this,
        .settings = *settings_,
        .options = options_,
        .dialogs = dialogs_,
        .remotePane = *remotePane_,
        .sessionLogPane = *controls_.eeLog,
        .fileOperationLog = *fileOperationLog_,
        .appDir = appDir_,
        .optionAction = *Action("aOption"),
    });
    windowCommands_->InstallHandlers(actions_);
    SetUpOptionCommands();

    // The window is created visible at its design size; the creation steps follow.
    setWindowTitle(NotConnectedTitle);
    resize(726, 547);
    show();
    ApplyDesignedSizes(controls_);
    RunCreationSteps(arguments);
    FirstShow();
}

TMainForm::~TMainForm()
{
    // The commands still waiting for a job hold the window's parts: they go first.
    service_.Stop();
    DestroyWaitingCommands();
    SetUncaughtExceptionHandler({});
}

QString TMainForm::SettingsPath() const
{
    return QString::fromStdString(ProgramFilePath(appDir_.toStdString(), ProgramFile::Settings));
}

void TMainForm::RunCreationSteps(const QStringList& arguments)
{
    const std::string appDir = appDir_.toStdString();
    lstDir_ = QString::fromStdString(PrepareLstDir(appDir));
    windowLists_ = std::make_unique<TWindowLists>(TWindowLists::Sources{.appDir = appDir,
                                                                        .lstDir = lstDir_.toStdString(),
                                                                        .extensions = extensions_,
                                                                        .localMaskBox = *controls_.LocalMaskBox,
                                                                        .remoteMaskBox = *controls_.RemoteMaskBox,
                                                                        .localDirBox = *controls_.LocalDirBox});
    windowLists_->LoadExtensions();
    extensions_.ImageExtList = imagePreview_->LoadImageExtensions();

    // Hints reach status panel 4 through event(); idle runs UpdateActionStates.
    idleHook_ = new TIdleHook(
        [this] {
            UpdateActionStates();
            RelistRemoteWhenFree();
            transferProgress_->DestroyHiddenProgressWindow();
            // A command's last file-operation lines are in the file once it has ended; while it
            // runs, an idle moment after each file does not rewrite the file each time.
            try {
                if (EngineBusy() || transferQueue_->Running())
                    fileOperationLog_->FlushWhenDue();
                else
                    fileOperationLog_->Flush();
            } catch (...) {
                const std::exception_ptr error = std::current_exception();
                IgnoringErrors([&] { sessionLog_->AppendLogLine(ErrorLine(error)); });
            }
        },
        this);
    SetUncaughtExceptionHandler([this](std::exception_ptr error) { HandleUncaughtException(error); });
    terminationSignals_ = new TTerminationSignals([this] { close(); }, this);

    const TStartArguments start = ReadStartArguments(arguments);
    startUrl_ = start.url;
    if (!start.localFolder.isEmpty())
        localPane_->ChangeDirectory(start.localFolder);
    sessionControl_->LoadProfiles();

    // A settings file that cannot be written is not reported; the values in force stay.
    Guarded([this] { SaveSettings(SettingsPath(), DefaultSection, *settings_); })();
    LoadSettings(SettingsPath(), CurrentSection, *settings_);
    optionCommands_->ApplyShortcutKeys();

    windowLists_->LoadBoxItems();

    QApplication::setApplicationDisplayName(NotConnectedTitle);
    setWindowTitle(QApplication::applicationDisplayName());

    {
        const TAboutBox about(this);
        sessionLog_->AddLineDirect(about.TitleText() + QLatin1Char(' ') + about.NoticeText());
    }
    sessionLog_->AddLineDirect(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));

    timer1_->start();
}

void TMainForm::FirstShow()
{
    localPane_->FillLocalFileList();
    BindDropDownButtons(controls_, [this](const QString& name) { return Action(name); });
    settings_->RefreshHeaderButtons();
}

void TMainForm::Timer1Timer()
{
    timer1_->stop();
    if (!startUrl_.isEmpty()) {
        ConnectToStartUrl();
        return;
    }
    const TIniFile ini(SettingsPath().toStdString());
    if (ini.ReadBool(CurrentSection.toStdString(), "bConnectDlgOnStart", true))
        sessionControl_->aConnectExecute(TSession::TSender::Startup);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!closeStepsDone_) {
        closeStepsDone_ = true;
        RunCloseSteps();
    }
    event->accept();
}

void TMainForm::RunCloseSteps()
{
    // Each step runs on its own, so a settings file that cannot be written does not cost the
    // lists and histories.
    Guarded([this] {
        const TIniFile ini(SettingsPath().toStdString());
        if (ini.ReadBool(CurrentSection.toStdString(), "bSaveConfig", true))
            SaveSettings(SettingsPath(), CurrentSection, *settings_);
    })();
    Guarded([this] { sessionControl_->CloseSession(); })();
    Guarded([this] { windowLists_->Save(); })();
}

// Busy state.

void TMainForm::EnterBusyState()
{
    SetStatusPanel(3, QStringLiteral("処理中..."));
    busyFocus_.Disable({controls_.LocalSysGroupBox, controls_.RemoteSysGroupBox});
    busy_.BusyFlag = true;
}

void TMainForm::LeaveBusyState()
{
    // The cursor at start-up is the plain one: every hourglass set since goes.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    SetStatusPanel(3, QString());
    busyFocus_.Enable({controls_.LocalSysGroupBox, controls_.RemoteSysGroupBox});
    busy_.BusyFlag = false;
}

void TMainForm::HoldPanes(bool hold)
{
    if (hold)
        heldFocus_.Disable({controls_.MainPanel});
    else
        heldFocus_.Enable({controls_.MainPanel});
}

void TMainForm::SetStatusPanel(int index, const QString& text)
{
    if (index >= 0 && index < 5)
        controls_.StatusPanels[static_cast<std::size_t>(index)]->setText(text);
}

QString TMainForm::StatusPanelText(int index) const
{
    return index >= 0 && index < 5 ? controls_.StatusPanels[static_cast<std::size_t>(index)]->text() : QString();
}

void TMainForm::UpdateActionStates()
{
    TEnablingFacts facts;
    facts.connected = SessionConnected();
    facts.local = FirstSelectedKind(*controls_.LocalFileListView);
    if (RemoteMenuEnabled())
        facts.remote = FirstSelectedKind(*controls_.RemoteFileListView);
    actions_.Update(facts);
}

void TMainForm::SetRemoteMenuEnabled(bool enabled)
{
    controls_.RemoteMenu->menuAction()->setEnabled(enabled);
}

bool TMainForm::RemoteMenuEnabled() const
{
    return controls_.RemoteMenu->menuAction()->isEnabled();
}

// Exceptions no command caught: nothing is shown, but the message reaches the session log.

void TMainForm::HandleUncaughtException(std::exception_ptr error)
{
    IgnoringErrors([&] { sessionLog_->AppendLogLine(ErrorLine(error)); });
    IgnoringErrors([this] { localPane_->FillLocalFileList(); });
    if (IsEngineSocketError(error))
        IgnoringErrors([this] { EngineSocketError(); });
    LeaveBusyState();
}

// Hints and drops.

bool TMainForm::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        SetStatusPanel(4, static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    AcceptDroppedDirectory(*event);
}

void TMainForm::dropEvent(QDropEvent* event)
{
    if (const QString directory = AcceptDroppedDirectory(*event); !directory.isEmpty())
        localPane_->ChangeDirectory(directory);
}
