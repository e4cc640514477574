#pragma once
#include "settings/WindowSettings.h"

#include <QString>

class QAction;
class QMainWindow;
class TEditor;
class TFileOperationLog;
class TRemotePane;
class TUserDialogs;
class TWindowActions;
class TWindowSettingsAdapter;

// The commands the window carries out itself: view style, transfer mode, new window, file
// manager, help, About, exit and the two log viewers.
class TWindowCommands {
public:
    struct Sources {
        QMainWindow& window;
        TWindowSettingsAdapter& settings;
        const TWindowOptions& options;
        TUserDialogs& dialogs;
        TRemotePane& remotePane;
        TEditor& sessionLogPane;
        TFileOperationLog& fileOperationLog;
        QString appDir;
        // The option command, offered when no log viewer starts.
        QAction& optionAction;
    };

    explicit TWindowCommands(Sources sources);
    void InstallHandlers(TWindowActions& actions);

    // The program file aOpenNewWindow starts: this program's own path unless set.
    void SetProgramPath(const QString& path) { programPath_ = path; }

    void SelectViewStyle(TViewStyle style);
    void SelectTransferMode(TTransferChoice mode);
    void aOpenNewWindowExecute();
    void aExplorerExecute();
    void aTopicsExecute();
    void aAboutExecute();
    void aExitExecute();
    void aCurrentSessionLog1Execute();
    void aUploadDownloadLog1Execute();

private:
    void ShowLogFile(const QString& path);

    Sources sources_;
    QString programPath_;
};
