#pragma once
#include "panes/FileListModel.h"
#include "panes/FileListSorter.h"
#include "platform/ListFile.h"
#include "settings/WindowSettings.h"

#include <functional>

class QAbstractItemView;
class QComboBox;
class QListWidget;
class QListWidgetItem;

// The local pane: the process working directory, shown in the drive box, the directory list
// and the directory box, and listed through the mask box's mask into the file list.
class TLocalPane {
public:
    struct Sources {
        const TWindowOptions& options;
        const StringList& textExtensions;
        const StringList& imageExtensions;
        QAbstractItemView& view;
        QComboBox& dirBox;
        QComboBox& maskBox;
        QComboBox& driveBox;
        QListWidget& dirList;
        std::function<void(const QString&)> showMessage;
        // Told the new directory after every change.
        std::function<void(const QString&)> directoryChanged;
        // FitLocalColumns.
        std::function<void()> fitColumns;
    };

    TLocalPane(TFileListModel& model, Sources sources);

    // Lists the working directory by the trimmed mask ("*.*" when empty, also put into the
    // box), shows the directory with a trailing "/" and sorts by iFileListSort.
    void FillLocalFileList();
    enum class TDirectoryChange { Refused, Same, Changed };
    // Enters the directory (a relative path from the pane's). A change re-reads the directory
    // list, selects the drive, fills and remembers the directory in the history.
    TDirectoryChange ChangeDirectory(const QString& path);
    // The directory the pane shows, absolute and with its links resolved. It is the pane's own:
    // the process's working directory is never read or changed after start-up.
    const QString& Folder() const { return folder_; }
    // The directory list read again, after a directory was made, and the list filled.
    void ReadDirectoryTree();
    // Goes to the typed directory, or stays where it is when that fails; then fills.
    void aLocalRefreshExecute();
    void OpenLocalSubdirectory(const QString& name);
    // The parent directory; the root stays the root.
    void aLocalDirectoryUpExecute();
    void aLocalSelectAllExecute();
    void LocalDriveBoxChange(int index);
    void LocalDirListBoxMouseUp(const QListWidgetItem& item);
    void LocalMaskBoxExit();
    void ColumnClick(int column) { sorter_.ColumnClick(model_, column); }
    const TFileListSorter& Sorter() const { return sorter_; }

private:
    // Changes to path, or fills where it is when the directory stays the same.
    void GoTo(const QString& path);
    void LocalDirListBoxChange();
    // The drive box entry of the volume holding the pane's directory, or -1.
    int DriveOfDirectory() const;
    void SelectDriveOfDirectory();

    TFileListModel& model_;
    Sources sources_;
    TFileListSorter sorter_;
    QString folder_;
};
