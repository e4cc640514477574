#include "panes/LocalPane.h"

#include "panes/LocalFileRow.h"
#include "platform/DirectoryScan.h"

#include <QDir>

namespace {

QStringList ToQStringList(const StringList& list) {
    QStringList result;
    result.reserve(qsizetype(list.size()));
    for (const std::string& entry : list) result << QString::fromStdString(entry);
    return result;
}

}  // namespace

TLocalPane::TLocalPane(TFileListModel& model, Sources sources) : model_(model), sources_(std::move(sources)) {}

void TLocalPane::FillLocalFileList() {
    QString mask = sources_.mask ? sources_.mask() : QString();
    if (mask.isEmpty()) mask = QStringLiteral("*.*");
    const QStringList images = ToQStringList(sources_.imageExtensions);
    const QStringList texts = ToQStringList(sources_.textExtensions);
    std::vector<TFileRow> rows;
    for (const DirectoryEntry& entry : ScanDirectory(QDir::currentPath().toStdString(), mask.toStdString()))
        rows.push_back(LocalFileRow(entry, images, texts));
    model_.SetRows(std::move(rows));
    sorter_.SortAfterFill(model_, sources_.options.iFileListSort);
}
