#include "panes/Bookmarks.h"

#include "panes/ComboItems.h"
#include "panes/DirListForm.h"
#include "settings/UserDialogs.h"

#include <QComboBox>

namespace {

const QString RemoteSide = QStringLiteral("Remote");

}  // namespace

void TBookmarks::aLocalBookmarkExecute()
{
    EditBookmarks(QStringLiteral("Local"), QStringLiteral(" - ローカルのブックマーク"));
}

void TBookmarks::aRemoteBookmarkExecute()
{
    EditBookmarks(RemoteSide, QStringLiteral(" - ホストのブックマーク"));
}

void TBookmarks::EditBookmarks(const QString& side, const QString& captionSuffix)
{
    bookmarkSide_ = side;
    QComboBox& box = bookmarkSide_ == RemoteSide ? sources_.remoteDirBox : sources_.localDirBox;
    TDirListForm form(&sources_.window, ItemTexts(box), sources_.dialogs);
    form.setWindowTitle(sources_.profileNameBox.currentText() + captionSuffix);
    if (sources_.dialogs.RunModal(form) == QDialog::Accepted)
        SetItemsSorted(box, form.Entries());
}
