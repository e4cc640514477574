// The session, built over the window's controls, engine and shared state.
#include "app/MainForm.h"

#include "service/ExceptionGuard.h"
#include "app/MenuItemLink.h"
#include "log/SessionLog.h"
#include "panes/FileListModel.h"
#include "panes/LocalPane.h"
#include "panes/RemotePane.h"
#include "session/ProfileBoxEvents.h"
#include "session/Session.h"
#include "session/StartUrl.h"
#include "transfer/TransferQueue.h"

#include <QComboBox>
#include <QTimer>

void TMainForm::SetUpSession()
{
    const auto enableSessionMenuItems = [this](bool enabled) {
        SetRemoteMenuEnabled(enabled);
        for (const char* name : {"UploadAll", "TransformAndUploadAll", "UploadAll0", "TransformAndUploadAll0",
                                 "DownloadAll", "TransformAndDownloadAll", "DownloadAll0", "TransformAndDownloadAll0",
                                 "RemoteMkDir", "RemoteMkDir0", "RemoteSelectAll", "RemoteSelectAll0", "Chmod", "Chmod0"})
            findChild<TMenuItem*>(QString::fromLatin1(name))->SetAllowed(enabled);
    };
    const TWindowControls& c = controls_;
    sessionControl_ = std::make_unique<TSession>(TSession::Sources{
        .service = service_,
        .state = session_,
        .busy = *this,
        .sessionLog = *sessionLog_,
        .dialogs = dialogs_,
        .window = *this,
        .settingsPath = SettingsPath(),
        .lstDir = lstDir_,
        .profileNameBox = *c.ProfileNameBox,
        .remoteDirBox = *c.RemoteDirBox,
        .localDirText = [this] { return controls_.LocalDirBox->currentText(); },
        .changeLocalDirectory = [this](const QString& path) { localPane_->ChangeDirectory(path); },
        .connectAction = *Action("aConnect"),
        .enableSessionMenuItems = enableSessionMenuItems,
        .updateActionStates = [this] { UpdateActionStates(); },
        // A directory the server refuses after the login ends the listing, not the session.
        .remoteRefresh = Guarded([this] { actions_.Run(QStringLiteral("aRemoteRefresh")); }),
        // The session's end also ends its extra connections.
        .clearRemoteListing = [this] { remotePane_->ClearListing(); transferQueue_->SessionEnded(); },
    });
    TSession& session = *sessionControl_;
    actions_.SetHandler("aConnect", [&session] { session.aConnectExecute(); });
    connect(noDisconnectTimer_, &QTimer::timeout, this, Guarded([&session] { session.NoDisconnectTimerTimer(); }));
    new TProfileBoxEvents(*c.ProfileNameBox, Guarded([&session] { session.ProfileNameBoxChange(); }));
}

void TMainForm::ConnectToStartUrl()
{
    try {
        sessionControl_->ConnectToUrl(ParseStartUrl(startUrl_));
    } catch (const EStartUrlError& error) {
        Dialogs().ShowMessage(QString::fromStdString(error.what()));
    }
}
