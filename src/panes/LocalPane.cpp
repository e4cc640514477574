#include "panes/LocalPane.h"

#include "panes/ComboItems.h"
#include "panes/FileKinds.h"
#include "panes/LocalDirList.h"
#include "panes/LocalFileRow.h"
#include "platform/DirectoryScan.h"
#include "service/LocalPaths.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QStorageInfo>

namespace {

const QString DriveNotReady = QStringLiteral("ドライブの準備ができていません");

bool Contains(const QString& root, const QString& path) {
    return path == root || path.startsWith(WithTrailingSlash(root));
}

}  // namespace

// The pane starts where the program was started.
TLocalPane::TLocalPane(TFileListModel& model, Sources sources)
    : model_(model), sources_(std::move(sources)), folder_(QDir::currentPath()) {
    PrepareDirectoryList(sources_.dirList);
    ShowDirectoryChain(sources_.dirList, folder_);
    SelectDriveOfDirectory();
}

void TLocalPane::FillLocalFileList() {
    const QString directory = WithTrailingSlash(folder_);
    sources_.dirBox.setEditText(directory);
    QString mask = sources_.maskBox.currentText().trimmed();
    if (mask.isEmpty()) {
        mask = QStringLiteral("*.*");
        sources_.maskBox.setEditText(mask);
    }
    TLocalRowFactory factory(ToQStringList(sources_.imageExtensions), ToQStringList(sources_.textExtensions));
    const std::vector<DirectoryEntry> entries = ScanDirectory(directory.toStdString(), mask.toStdString());
    std::vector<TFileRow> rows;
    rows.reserve(entries.size());
    for (const DirectoryEntry& entry : entries) rows.push_back(factory.Row(entry));
    model_.SetRows(std::move(rows));
    sources_.fitColumns();
    sorter_.SortAfterFill(model_, sources_.options.iFileListSort);
}

TLocalPane::TDirectoryChange TLocalPane::ChangeDirectory(const QString& path) {
    if (path.isEmpty()) return TDirectoryChange::Refused;
    // Entering takes search permission, as changing the working directory did.
    const QFileInfo target(QDir(folder_).absoluteFilePath(path));
    if (!target.isDir() || !target.isExecutable()) return TDirectoryChange::Refused;
    const QString entered = target.canonicalFilePath();
    if (entered.isEmpty()) return TDirectoryChange::Refused;
    if (entered == folder_) return TDirectoryChange::Same;
    folder_ = entered;
    LocalDirListBoxChange();
    return TDirectoryChange::Changed;
}

void TLocalPane::GoTo(const QString& path) {
    if (ChangeDirectory(path) != TDirectoryChange::Changed) FillLocalFileList();
}

void TLocalPane::LocalDirListBoxChange() {
    const QString directory = folder_;
    ShowDirectoryChain(sources_.dirList, directory);
    SelectDriveOfDirectory();
    FillLocalFileList();
    AddItemIfAbsent(sources_.dirBox, sources_.dirBox.currentText());
    sources_.directoryChanged(directory);
}

void TLocalPane::ReadDirectoryTree() {
    ShowDirectoryChain(sources_.dirList, folder_);
    FillLocalFileList();
}

int TLocalPane::DriveOfDirectory() const {
    const QString& current = folder_;
    int best = -1;
    for (int i = 0; i < sources_.driveBox.count(); ++i) {
        const QString root = sources_.driveBox.itemText(i);
        if (Contains(root, current) && (best < 0 || root.size() > sources_.driveBox.itemText(best).size())) best = i;
    }
    return best;
}

void TLocalPane::SelectDriveOfDirectory() {
    if (const int drive = DriveOfDirectory(); drive >= 0) sources_.driveBox.setCurrentIndex(drive);
}

void TLocalPane::LocalDriveBoxChange(int index) {
    if (index == DriveOfDirectory()) return;
    const QString root = sources_.driveBox.itemText(index);
    if (!QStorageInfo(root).isReady() || ChangeDirectory(root) == TDirectoryChange::Refused) {
        sources_.showMessage(DriveNotReady);
        SelectDriveOfDirectory();
    }
}

void TLocalPane::LocalDirListBoxMouseUp(const QListWidgetItem& item) { ChangeDirectory(EntryDirectory(item)); }

void TLocalPane::LocalMaskBoxExit() { RememberMask(sources_.maskBox); }

void TLocalPane::aLocalRefreshExecute() { GoTo(sources_.dirBox.currentText()); }

void TLocalPane::OpenLocalSubdirectory(const QString& name) {
    sources_.dirBox.setEditText(WithTrailingSlash(sources_.dirBox.currentText()) + name + u'/');
    aLocalRefreshExecute();
}

void TLocalPane::aLocalDirectoryUpExecute() {
    const QString& path = folder_;
    const qsizetype slash = path.lastIndexOf(u'/');
    GoTo(slash <= 0 ? QStringLiteral("/") : path.left(slash));
}

void TLocalPane::aLocalSelectAllExecute() { sources_.view.selectAll(); }
