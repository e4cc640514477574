#include "panes/FileImageList.h"

#include <QApplication>
#include <QStyle>

namespace {

QIcon Themed(const char* name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

}  // namespace

std::vector<QIcon> FileImageList()
{
    return {Themed("folder", QStyle::SP_DirIcon), Themed("text-x-generic", QStyle::SP_FileIcon),
            Themed("application-x-executable", QStyle::SP_ComputerIcon), Themed("unknown", QStyle::SP_FileIcon),
            Themed("image-x-generic", QStyle::SP_FileIcon)};
}
