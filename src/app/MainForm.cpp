// Start-up, close, busy state, action enabling, hints, drops and the exception handler.
#include "app/MainForm.h"

#include "app/AboutBox.h"
#include "app/DroppedPaths.h"
#include "app/ExceptionGuard.h"
#include "app/IdleHook.h"
#include "app/TerminationSignals.h"
#include "ftp/IdException.h"
#include "log/Editor.h"
#include "panes/FileListModel.h"
#include "fileops/LocalFileOps.h"
#include "panes/ComboItems.h"
#include "panes/LocalPane.h"
#include "log/FileOperationLog.h"
#include "log/SessionLog.h"
#include "platform/IniFile.h"
#include "platform/ProgramDir.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLocale>
#include <QMimeData>
#include <QStatusTipEvent>
#include <QTimer>

namespace {

const QString DefaultSection = QStringLiteral("DEFAULT");
const QString CurrentSection = QStringLiteral("CURRENT");
const QString NotConnectedTitle = QStringLiteral("Marlux - 未接続");

QStringList ComboItems(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

StringList ToStringList(const QStringList& items)
{
    StringList out;
    out.reserve(items.size());
    for (const QString& item : items)
        out.push_back(item.toStdString());
    return out;
}

// Replaces the drop-down items of a box with a list file's entries when the file exists,
// keeping the box's text.
void LoadComboItems(QComboBox* box, const std::string& path)
{
    const std::optional<StringList> entries = LoadListFile(path);
    if (!entries)
        return;
    QStringList items;
    for (const std::string& entry : *entries)
        items.append(QString::fromStdString(entry));
    SetItemsSorted(*box, std::move(items));
}

enum class TSelectedKind { None, File, Folder };

// The kind of the first selected row in list order. A row is a folder when its icon is the
// folder icon (index 0).

TSelectedKind FirstSelectedKind(const QAbstractItemView* view)
{
    const QItemSelectionModel* selection = view->selectionModel();
    if (!selection || !selection->hasSelection())
        return TSelectedKind::None;
    QModelIndexList rows = selection->selectedRows();
    if (rows.isEmpty())
        return TSelectedKind::None;
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    return rows.front().data(TFileListModel::FileIconIndexRole).toInt() == fiFolder ? TSelectedKind::Folder : TSelectedKind::File;
}

}  // namespace

TMainForm::TMainForm(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), dialogs_(std::make_unique<TDesktopDialogs>(this))
{
    Q_INIT_RESOURCE(app);
    CreateActions();
    BuildMenus();
    BuildToolBars();
    BuildLayout();
    AttachContextMenus();
    InstallWindowCommands();

    sessionLog_ = std::make_unique<TSessionLog>(eeLog_, [this] { return options_.iMaxLog; });
    SetUpEngine();
    SetUpLocalPane();
    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, Guarded([this] { Timer1Timer(); }));
    noDisconnectTimer_ = new QTimer(this);
    noDisconnectTimer_->setObjectName(QStringLiteral("NoDisconnectTimer"));
    noDisconnectTimer_->setInterval(60000);

    // The window is created visible at its design size; the creation steps follow.
    setWindowTitle(NotConnectedTitle);
    resize(726, 547);
    show();
    ApplyDesignedSizes();
    RunCreationSteps(arguments);
    FirstShow();
}

TMainForm::~TMainForm()
{
    SetUncaughtExceptionHandler({});
}

QString TMainForm::ProgramFile(const char* name) const
{
    return QString::fromStdString(ProgramFilePath(appDir_.toStdString(), name));
}

QString TMainForm::SettingsPath() const
{
    return ProgramFile(ProgramFile::Settings);
}

void TMainForm::SetDialogs(std::unique_ptr<TUserDialogs> dialogs)
{
    dialogs_ = std::move(dialogs);
}

void TMainForm::RunCreationSteps(const QStringList& arguments)
{
    TransferModeName = QStringLiteral("ASCII");
    TransferCompleted = false;
    options_.iOnLocalDblClick = 2;
    options_.iOnRemoteDblClick = 2;
    options_.iFileListSort = 0;
    options_.iFileNameAfterTransfer = 0;
    options_.iMaxLog = 500;
    options_.iMaxFileLog = 500;
    // ImageExtList stays empty until the image plug-ins are loaded by the preview subsystem.

    appDir_ = QString::fromStdString(ResolveAppDir(CurrentExecutablePath()));
    fileOperationLog_ = std::make_unique<TFileOperationLog>(appDir_, [this] { return options_.iMaxFileLog; });
    TextExtList = LoadTextExtList(appDir_.toStdString());
    SkipExtList = LoadSkipExtList(appDir_.toStdString());
    NoDeleteExtList = LoadNoDeleteExtList(appDir_.toStdString());

    // Hints reach status panel 4 through event(); idle runs UpdateActionStates.
    idleHook_ = new TIdleHook([this] { UpdateActionStates(); }, this);
    SetUncaughtExceptionHandler([this](std::exception_ptr error) { HandleUncaughtException(error); });
    terminationSignals_ = new TTerminationSignals([this] { close(); }, this);

    lstDir_ = QString::fromStdString(PrepareLstDir(appDir_.toStdString()));

    if (!arguments.isEmpty()) {
        const QFileInfo argument(arguments.front());
        SetLocalDirectory(argument.isFile() ? argument.absolutePath() : arguments.front());
    }

    LoadComboItems(localMaskBox_, ProgramFile(ProgramFile::LocalMaskList).toStdString());
    LoadComboItems(remoteMaskBox_, ProgramFile(ProgramFile::RemoteMaskList).toStdString());

    const TIniFile ini(SettingsPath().toStdString());
    for (const std::string& section : ini.ReadSections())
        profileNameBox_->addItem(QString::fromStdString(section));
    profileNameBox_->setEditText(QString::fromStdString(
        ini.ReadString(CurrentSection.toStdString(), "PROFILE", profileNameBox_->currentText().toStdString())));
    if (profileNameBox_->currentText().isEmpty())
        profileNameBox_->setEditText(CurrentSection);
    ProfileName = profileNameBox_->currentText();

    // A settings file that cannot be written is not reported; the designed values stay.
    Guarded([this] { SaveSettings(SettingsPath(), DefaultSection, *this); })();
    LoadSettings(SettingsPath(), CurrentSection, *this);
    // Shortcut keys from "KeyList.ini" are applied here once the key assignment exists.

    LoadComboItems(localDirBox_, QString::fromStdString(ProgramFilePath(lstDir_.toStdString(), ProgramFile::LocalHistory))
                                     .toStdString());

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
    if (FillLocalFileList)
        FillLocalFileList();
    BindDropDownButtons();
}

void TMainForm::Timer1Timer()
{
    timer1_->stop();
    const TIniFile ini(SettingsPath().toStdString());
    if (ini.ReadBool(CurrentSection.toStdString(), "bConnectDlgOnStart", true))
        Action("aConnect")->trigger();
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
            SaveSettings(SettingsPath(), CurrentSection, *this);
    })();
    Guarded([this] { CloseSession(); })();
    Guarded([this] {
        const std::string appDir = appDir_.toStdString();
        SaveListFile(ProgramFilePath(appDir, ProgramFile::TextExt), TextExtList);
        SaveListFile(ProgramFilePath(appDir, ProgramFile::SkipExt), SkipExtList);
        SaveListFile(ProgramFilePath(appDir, ProgramFile::NoDeleteExt), NoDeleteExtList);
        SaveListFile(ProgramFilePath(lstDir_.toStdString(), ProgramFile::LocalHistory),
                     ToStringList(ComboItems(localDirBox_)));
        SaveListFile(ProgramFilePath(appDir, ProgramFile::LocalMaskList), ToStringList(ComboItems(localMaskBox_)));
        SaveListFile(ProgramFilePath(appDir, ProgramFile::RemoteMaskList), ToStringList(ComboItems(remoteMaskBox_)));
    })();
}

void TMainForm::CloseSession()
{
    if (!SessionConnected())
        return;
    if (SaveProfileState)
        SaveProfileState();
    SaveListFile(ProgramFilePath(lstDir_.toStdString(), (ProfileName + QStringLiteral(".lst")).toStdString()),
                 ToStringList(ComboItems(remoteDirBox_)));
    CloseEngine(InTransfer);
}

// Busy state.

void TMainForm::EnterBusyState()
{
    SetStatusPanel(3, QStringLiteral("処理中..."));
    localSysGroupBox_->setEnabled(false);
    remoteSysGroupBox_->setEnabled(false);
    busy_ = true;
}

void TMainForm::LeaveBusyState()
{
    // The cursor at start-up is the plain one: every hourglass set since goes.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    SetStatusPanel(3, QString());
    localSysGroupBox_->setEnabled(true);
    remoteSysGroupBox_->setEnabled(true);
    busy_ = false;
}

// Action enabling.

void TMainForm::UpdateActionStates()
{
    const bool connected = SessionConnected();
    for (const char* name : {"aUploadAll", "aDownloadAll", "aTransformAndUploadAll", "aRemoteDirectoryUp",
                             "aRemoteMkDir", "aRemoteRefresh", "aRemoteBookmark", "aRemoteDetail", "aChmod"})
        Action(name)->setEnabled(connected);

    const auto enable = [this](std::initializer_list<const char*> names, bool enabled) {
        for (const char* name : names)
            Action(name)->setEnabled(enabled);
    };

    switch (FirstSelectedKind(localFileListView_)) {
    case TSelectedKind::None:
        enable({"aUpload", "aTransformAndUpload", "aUploadAppend", "aLocalFileOpen", "aLocalFileView",
                "aLocalFileName", "aLocalFileDelete"},
               false);
        break;
    case TSelectedKind::File:
        enable({"aUpload", "aTransformAndUpload", "aUploadAppend"}, connected);
        enable({"aLocalFileOpen", "aLocalFileView", "aLocalFileName", "aLocalFileDelete"}, true);
        break;
    case TSelectedKind::Folder:
        enable({"aUpload", "aTransformAndUpload"}, connected);
        enable({"aUploadAppend", "aLocalFileOpen", "aLocalFileView"}, false);
        enable({"aLocalFileName", "aLocalFileDelete"}, true);
        break;
    }

    // The remote aTransformAndDownload follows aDownload, as on the local side.
    const TSelectedKind remote = RemoteMenuEnabled() ? FirstSelectedKind(remoteFileListView_) : TSelectedKind::None;
    switch (remote) {
    case TSelectedKind::None:
        enable({"aDownload", "aDownloadRestore", "aTransformAndDownload", "aRemoteFileView", "aRemoteFileName",
                "aRemoteFileDelete"},
               false);
        break;
    case TSelectedKind::File:
        enable({"aDownload", "aDownloadRestore", "aTransformAndDownload", "aRemoteFileView", "aRemoteFileName",
                "aRemoteFileDelete"},
               true);
        break;
    case TSelectedKind::Folder:
        enable({"aDownload", "aDownloadRestore", "aTransformAndDownload", "aRemoteFileDelete"}, true);
        enable({"aRemoteFileView", "aRemoteFileName"}, false);
        break;
    }
}

// Exceptions no command caught: nothing is shown.

void TMainForm::HandleUncaughtException(std::exception_ptr error)
{
    Guarded([this] {
        if (FillLocalFileList)
            FillLocalFileList();
    })();
    try {
        std::rethrow_exception(error);
    } catch (const EIdSocketError&) {
        Guarded([this] {
            if (HandleEngineSocketError)
                HandleEngineSocketError();
        })();
    } catch (...) {
    }
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
    if (event->mimeData()->hasUrls() && !DirectoryOfDroppedPaths(event->mimeData()->urls()).isEmpty())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QString directory = DirectoryOfDroppedPaths(event->mimeData()->urls());
    if (directory.isEmpty())
        return;
    SetLocalDirectory(directory);
    event->acceptProposedAction();
}
