// The commands the window carries out itself: view style, transfer mode, new window, file
// manager, help, About, exit and the two log viewers.
#include "app/AboutBox.h"
#include "app/HelpPage.h"
#include "app/MainForm.h"

#include "log/FileOperationLog.h"
#include "log/LogViewer.h"
#include "panes/RemotePane.h"
#include "platform/ProgramDir.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

void TMainForm::InstallWindowCommands()
{
    programPath_ = QString::fromStdString(CurrentExecutablePath());
    SetActionHandler("aReport", [this] { SelectViewStyle(TViewStyle::Report); });
    SetActionHandler("aList", [this] { SelectViewStyle(TViewStyle::List); });
    SetActionHandler("aSmallIcon", [this] { SelectViewStyle(TViewStyle::SmallIcon); });
    SetActionHandler("aTypeASCII", [this] { SelectTransferMode(TTransferChoice::ASCII); });
    SetActionHandler("aTypeBinary", [this] { SelectTransferMode(TTransferChoice::Binary); });
    SetActionHandler("aTypeAuto", [this] { SelectTransferMode(TTransferChoice::Auto); });
    SetActionHandler("aOpenNewWindow", [this] { aOpenNewWindowExecute(); });
    SetActionHandler("aExplorer", [this] { aExplorerExecute(); });
    SetActionHandler("aTopics", [this] { aTopicsExecute(); });
    SetActionHandler("aAbout", [this] { aAboutExecute(); });
    SetActionHandler("aExit", [this] { aExitExecute(); });
    SetActionHandler("aCurrentSessionLog1", [this] { aCurrentSessionLog1Execute(); });
    SetActionHandler("aUploadDownloadLog1", [this] { aUploadDownloadLog1Execute(); });
}

void TMainForm::SelectViewStyle(TViewStyle style)
{
    settings_->SetChecked(TCheckMark::Report, style == TViewStyle::Report);
    settings_->SetChecked(TCheckMark::List, style == TViewStyle::List);
    settings_->SetChecked(TCheckMark::SmallIcon, style == TViewStyle::SmallIcon);
    settings_->ShowViewStyle(style);
    remotePane_->SortAndFitRemoteList();
}

void TMainForm::SelectTransferMode(TTransferChoice mode)
{
    settings_->SetChecked(TCheckMark::TypeASCII, mode == TTransferChoice::ASCII);
    settings_->SetChecked(TCheckMark::TypeBinary, mode == TTransferChoice::Binary);
    settings_->SetChecked(TCheckMark::TypeAuto, mode == TTransferChoice::Auto);
    settings_->ShowTransferMode(mode);
}

void TMainForm::aOpenNewWindowExecute()
{
    if (!QProcess::startDetached(programPath_, {}))
        Dialogs().ShowMessage(QStringLiteral("新規ウインドウが開けませんでした。"));
}

void TMainForm::aExplorerExecute()
{
    QProcess::startDetached(QStringLiteral("xdg-open"), {settings_->LocalDirectory()});
}

void TMainForm::aTopicsExecute()
{
    // A manual that is missing or cannot be shown is not reported.
    if (const QString page = ManualContentsPage(QFileInfo(programPath_).absolutePath()); !page.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

void TMainForm::aAboutExecute()
{
    TAboutBox about(this);
    Dialogs().RunModal(about);
}

void TMainForm::aExitExecute()
{
    hide();
    // A hidden window's close does not count as the last window closing, so the event loop
    // would run on with no window: end it once the close steps have run.
    if (close())
        QCoreApplication::quit();
}

void TMainForm::aCurrentSessionLog1Execute()
{
    QString path;
    try {
        path = SaveSessionLog(*controls_.eeLog, appDir_);
    } catch (const std::exception&) {
    }
    ShowLogFile(path);
}

void TMainForm::aUploadDownloadLog1Execute()
{
    fileOperationLog_->Flush();
    ShowLogFile(FileOperationLogPath(appDir_));
}

void TMainForm::ShowLogFile(const QString& path)
{
    // A log that does not exist is reported like a viewer that cannot start.
    if (!path.isEmpty() && QFileInfo(path).isFile() && StartViewer(options_.asApplication, path))
        return;
    Dialogs().ShowMessage(QString::fromUtf16(LogViewerFailedMessage));
    Action("aOption")->trigger();
}
