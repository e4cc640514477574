// The session, built over the window's controls, engine and shared state.
#include "app/MainForm.h"

#include "app/ExceptionGuard.h"
#include "app/MenuItemLink.h"
#include "log/SessionLog.h"
#include "panes/FileListModel.h"
#include "panes/LocalPane.h"
#include "panes/RemotePane.h"
#include "session/Session.h"
#include "session/StartUrl.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace {

// Double clicks on a control, reported to a handler.
class TDoubleClickFilter : public QObject {
public:
    TDoubleClickFilter(QObject& watched, std::function<void()> handler)
        : QObject(&watched), handler_(std::move(handler))
    {
        watched.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick)
            handler_();
        return false;
    }

private:
    std::function<void()> handler_;
};

}  // namespace

void TMainForm::SetUpSession()
{
    const auto enableSessionMenuItems = [this](bool enabled) {
        SetRemoteMenuEnabled(enabled);
        for (const char* name : {"UploadAll", "TransformAndUploadAll", "UploadAll0", "TransformAndUploadAll0",
                                 "DownloadAll", "TransformAndDownloadAll", "DownloadAll0", "TransformAndDownloadAll0",
                                 "RemoteMkDir", "RemoteMkDir0", "RemoteSelectAll", "RemoteSelectAll0", "Chmod", "Chmod0"})
            findChild<TMenuItem*>(QString::fromLatin1(name))->SetAllowed(enabled);
    };
    const TMainFormControls& c = controls_;
    sessionControl_ = std::make_unique<TSession>(TSession::Sources{
        IdFTP1, session_, transfer_.InTransfer, [this] { return busy_.BusyFlag; }, dialogs_, *this, SettingsPath(),
        lstDir_, *c.ProfileNameBox, *c.RemoteDirBox, [this] { return controls_.LocalDirBox->currentText(); },
        [this](const QString& path) { localPane_->ChangeDirectory(path); },
        [this](const QString& text) { sessionLog_->AppendLogLine(text); },
        [this](int panel, const QString& text) { SetStatusPanel(panel, text); }, *Action("aConnect"),
        enableSessionMenuItems, [this] { EnterBusyState(); }, [this] { LeaveBusyState(); }, [this] { UpdateActionStates(); },
        // A directory the server refuses after the login ends the listing, not the session.
        Guarded([this] { RunAction(QStringLiteral("aRemoteRefresh")); }),
        [this] { remotePane_->ClearListing(); }});
    TSession& session = *sessionControl_;
    SetActionHandler("aConnect", [&session] { session.aConnectExecute(); });
    connect(noDisconnectTimer_, &QTimer::timeout, this, Guarded([&session] { session.NoDisconnectTimerTimer(); }));
    const auto profileChosen = Guarded([&session] { session.ProfileNameBoxChange(); });
    connect(c.ProfileNameBox, &QComboBox::textActivated, this, profileChosen);
    new TDoubleClickFilter(*c.ProfileNameBox->lineEdit(), profileChosen);
}

void TMainForm::ConnectToStartUrl()
{
    try {
        sessionControl_->ConnectToUrl(ParseStartUrl(startUrl_));
    } catch (const EStartUrlError& error) {
        Dialogs().ShowMessage(QString::fromStdString(error.what()));
    }
}
