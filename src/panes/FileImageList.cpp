#include "panes/FileImageList.h"

#include <QApplication>

QIcon ThemedIcon(const char* name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

std::vector<QIcon> FileImageList()
{
    return {ThemedIcon("folder", QStyle::SP_DirIcon), ThemedIcon("text-x-generic", QStyle::SP_FileIcon),
            ThemedIcon("application-x-executable", QStyle::SP_ComputerIcon), ThemedIcon("unknown", QStyle::SP_FileIcon),
            ThemedIcon("image-x-generic", QStyle::SP_FileIcon)};
}
