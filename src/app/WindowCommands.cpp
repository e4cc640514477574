#include "app/WindowCommands.h"

#include "app/AboutBox.h"
#include "app/HelpPage.h"
#include "app/WindowActions.h"
#include "app/WindowSettingsAdapter.h"
#include "log/FileOperationLog.h"
#include "log/LogViewer.h"
#include "panes/RemotePane.h"
#include "platform/ProgramDir.h"
#include "settings/UserDialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMainWindow>
#include <QProcess>
#include <QUrl>

#include <utility>

TWindowCommands::TWindowCommands(Sources sources)
    : sources_(std::move(sources)), programPath_(QString::fromStdString(CurrentExecutablePath()))
{
}

void TWindowCommands::InstallHandlers(TWindowActions& actions)
{
    actions.SetHandler("aReport", [this] { SelectViewStyle(TViewStyle::Report); });
    actions.SetHandler("aList", [this] { SelectViewStyle(TViewStyle::List); });
    actions.SetHandler("aSmallIcon", [this] { SelectViewStyle(TViewStyle::SmallIcon); });
    actions.SetHandler("aTypeASCII", [this] { SelectTransferMode(TTransferChoice::ASCII); });
    actions.SetHandler("aTypeBinary", [this] { SelectTransferMode(TTransferChoice::Binary); });
    actions.SetHandler("aTypeAuto", [this] { SelectTransferMode(TTransferChoice::Auto); });
    actions.SetHandler("aOpenNewWindow", [this] { aOpenNewWindowExecute(); });
    actions.SetHandler("aExplorer", [this] { aExplorerExecute(); });
    actions.SetHandler("aTopics", [this] { aTopicsExecute(); });
    actions.SetHandler("aAbout", [this] { aAboutExecute(); });
    actions.SetHandler("aExit", [this] { aExitExecute(); });
    actions.SetHandler("aCurrentSessionLog1", [this] { aCurrentSessionLog1Execute(); });
    actions.SetHandler("aUploadDownloadLog1", [this] { aUploadDownloadLog1Execute(); });
}

void TWindowCommands::SelectViewStyle(TViewStyle style)
{
    TWindowSettingsAdapter& settings = sources_.settings;
    settings.SetChecked(TCheckMark::Report, style == TViewStyle::Report);
    settings.SetChecked(TCheckMark::List, style == TViewStyle::List);
    settings.SetChecked(TCheckMark::SmallIcon, style == TViewStyle::SmallIcon);
    settings.ShowViewStyle(style);
    sources_.remotePane.SortAndFitRemoteList();
}

void TWindowCommands::SelectTransferMode(TTransferChoice mode)
{
    TWindowSettingsAdapter& settings = sources_.settings;
    settings.SetChecked(TCheckMark::TypeASCII, mode == TTransferChoice::ASCII);
    settings.SetChecked(TCheckMark::TypeBinary, mode == TTransferChoice::Binary);
    settings.SetChecked(TCheckMark::TypeAuto, mode == TTransferChoice::Auto);
    settings.ShowTransferMode(mode);
}

void TWindowCommands::aOpenNewWindowExecute()
{
    if (!QProcess::startDetached(programPath_, {}))
        sources_.dialogs.ShowMessage(QStringLiteral("新規ウインドウが開けませんでした。"));
}

void TWindowCommands::aExplorerExecute()
{
    QProcess::startDetached(QStringLiteral("xdg-open"), {sources_.settings.LocalDirectory()});
}

void TWindowCommands::aTopicsExecute()
{
    // A manual that is missing or cannot be shown is not reported.
    if (const QString page = ManualContentsPage(QFileInfo(programPath_).absolutePath()); !page.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

void TWindowCommands::aAboutExecute()
{
    TAboutBox about(&sources_.window);
    sources_.dialogs.RunModal(about);
}

void TWindowCommands::aExitExecute()
{
    sources_.window.hide();
    // A hidden window's close does not count as the last window closing, so the event loop
    // would run on with no window: end it once the close steps have run.
    if (sources_.window.close())
        QCoreApplication::quit();
}

void TWindowCommands::aCurrentSessionLog1Execute()
{
    QString path;
    try {
        path = SaveSessionLog(sources_.sessionLogPane, sources_.appDir);
    } catch (const std::exception&) {
    }
    ShowLogFile(path);
}

void TWindowCommands::aUploadDownloadLog1Execute()
{
    sources_.fileOperationLog.Flush();
    ShowLogFile(FileOperationLogPath(sources_.appDir));
}

void TWindowCommands::ShowLogFile(const QString& path)
{
    // A log that does not exist is reported like a viewer that cannot start.
    if (!path.isEmpty() && QFileInfo(path).isFile() && StartViewer(sources_.options.asApplication, path))
        return;
    sources_.dialogs.ShowMessage(QString::fromUtf16(LogViewerFailedMessage));
    sources_.optionAction.trigger();
}
