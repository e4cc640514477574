#include "panes/LocalPane.h"

#include "panes/LocalFileRow.h"
#include "platform/DirectoryScan.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>

namespace {

QStringList ToQStringList(const StringList& list) {
    QStringList result;
    result.reserve(qsizetype(list.size()));
    for (const std::string& entry : list) result << QString::fromStdString(entry);
    return result;
}

QString WithTrailingSlash(QString path) {
    if (!path.endsWith(u'/')) path += u'/';
    return path;
}

// Changes the working directory, staying in the old one when the new one cannot be entered.
void ChangeDirectory(const QString& path) {
    const QString previous = QDir::currentPath();
    if (path.isEmpty() || !QDir::setCurrent(path)) QDir::setCurrent(previous);
}

}  // namespace

TLocalPane::TLocalPane(TFileListModel& model, Sources sources) : model_(model), sources_(std::move(sources)) {}

void TLocalPane::FillLocalFileList() {
    const QString directory = WithTrailingSlash(QDir::currentPath());
    sources_.dirBox.setEditText(directory);
    QString mask = sources_.maskBox.currentText().trimmed();
    if (mask.isEmpty()) {
        mask = QStringLiteral("*.*");
        sources_.maskBox.setEditText(mask);
    }
    const QStringList images = ToQStringList(sources_.imageExtensions);
    const QStringList texts = ToQStringList(sources_.textExtensions);
    std::vector<TFileRow> rows;
    for (const DirectoryEntry& entry : ScanDirectory(directory.toStdString(), mask.toStdString()))
        rows.push_back(LocalFileRow(entry, images, texts));
    model_.SetRows(std::move(rows));
    sorter_.SortAfterFill(model_, sources_.options.iFileListSort);
}

void TLocalPane::aLocalRefreshExecute() {
    ChangeDirectory(sources_.dirBox.currentText());
    FillLocalFileList();
}

void TLocalPane::OpenLocalSubdirectory(const QString& name) {
    sources_.dirBox.setEditText(WithTrailingSlash(sources_.dirBox.currentText()) + name + u'/');
    aLocalRefreshExecute();
}

void TLocalPane::aLocalDirectoryUpExecute() {
    QString path = QDir::currentPath();
    const qsizetype slash = path.lastIndexOf(u'/');
    path = slash <= 0 ? QStringLiteral("/") : path.left(slash);
    ChangeDirectory(path);
    FillLocalFileList();
}

void TLocalPane::aLocalSelectAllExecute() { sources_.view.selectAll(); }
