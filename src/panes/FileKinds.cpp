#include "panes/FileKinds.h"

#include "service/FileExtensions.h"

QStringList ToQStringList(const StringList& list) {
    QStringList result;
    result.reserve(qsizetype(list.size()));
    for (const std::string& entry : list) result << QString::fromStdString(entry);
    return result;
}

TFileIcon FileIconFor(const QString& name, bool isFolder, const QStringList& imageExtensions,
                      const QStringList& textExtensions, TProgramIconRank programRank) {
    if (isFolder) return fiFolder;
    const QString extension = FileExtension(name);
    const bool program = extension == QLatin1String(".exe");
    if (program && programRank == TProgramIconRank::BeforeLists) return fiProgram;
    if (!extension.isEmpty() && imageExtensions.contains(extension, Qt::CaseInsensitive)) return fiPicture;
    if (!extension.isEmpty() && textExtensions.contains(extension, Qt::CaseInsensitive)) return fiText;
    return program ? fiProgram : fiOther;
}
