#include "app/WindowLists.h"

#include "panes/ComboItems.h"
#include "platform/ListFile.h"
#include "platform/ProgramDir.h"

#include <QComboBox>
#include <QStringList>

namespace {

StringList ComboItems(const QComboBox& box)
{
    StringList items;
    items.reserve(static_cast<std::size_t>(box.count()));
    for (int i = 0; i < box.count(); ++i)
        items.push_back(box.itemText(i).toStdString());
    return items;
}

void LoadComboItems(QComboBox& box, const std::string& path)
{
    const std::optional<StringList> entries = LoadListFile(path);
    if (!entries)
        return;
    QStringList items;
    for (const std::string& entry : *entries)
        items.append(QString::fromStdString(entry));
    SetItemsSorted(box, std::move(items));
}

}  // namespace

void TWindowLists::LoadExtensions()
{
    TExtensionLists& extensions = sources_.extensions;
    extensions.TextExtList = LoadTextExtList(sources_.appDir);
    extensions.SkipExtList = LoadSkipExtList(sources_.appDir);
    extensions.NoDeleteExtList = LoadNoDeleteExtList(sources_.appDir);
}

void TWindowLists::LoadBoxItems()
{
    LoadComboItems(sources_.localMaskBox, ProgramFilePath(sources_.appDir, ProgramFile::LocalMaskList));
    LoadComboItems(sources_.remoteMaskBox, ProgramFilePath(sources_.appDir, ProgramFile::RemoteMaskList));
    LoadComboItems(sources_.localDirBox, ProgramFilePath(sources_.lstDir, ProgramFile::LocalHistory));
}

void TWindowLists::Save() const
{
    const std::string& appDir = sources_.appDir;
    const TExtensionLists& extensions = sources_.extensions;
    SaveListFile(ProgramFilePath(appDir, ProgramFile::TextExt), extensions.TextExtList);
    SaveListFile(ProgramFilePath(appDir, ProgramFile::SkipExt), extensions.SkipExtList);
    SaveListFile(ProgramFilePath(appDir, ProgramFile::NoDeleteExt), extensions.NoDeleteExtList);
    SaveListFile(ProgramFilePath(sources_.lstDir, ProgramFile::LocalHistory), ComboItems(sources_.localDirBox));
    SaveListFile(ProgramFilePath(appDir, ProgramFile::LocalMaskList), ComboItems(sources_.localMaskBox));
    SaveListFile(ProgramFilePath(appDir, ProgramFile::RemoteMaskList), ComboItems(sources_.remoteMaskBox));
}
