#include "panes/FileKinds.h"

#include "service/FileExtensions.h"

#include <utility>

QStringList ToQStringList(const StringList& list) {
    QStringList result;
    result.reserve(qsizetype(list.size()));
    for (const std::string& entry : list) result << QString::fromStdString(entry);
    return result;
}

QString AttributeText(unsigned attributes) {
    static const std::pair<unsigned, const char*> words[] = {
        {faArchive, "ｱｰｶｲﾌﾞ "},  {faCompressed, "圧縮 "},  {faDirectory, "<DIR> "},   {faNormal, "通常ファイル "},
        {faHidden, "隠しファイル "}, {faReadOnly, "読取専用 "}, {faSysFile, "ｼｽﾃﾑ "}, {faTemporary, "ﾃﾝﾎﾟﾗﾘ "},
    };
    QString text;
    for (const auto& [bit, word] : words)
        if (attributes & bit) text += QString::fromUtf8(word);
    return text;
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
