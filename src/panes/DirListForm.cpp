#include "panes/DirListForm.h"

#include "settings/UserDialogs.h"

#include <QAction>
#include <QListWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString ClearAllQuestion = QStringLiteral("ﾌﾞｯｸﾏｰｸをすべてを消去しますか？");

}  // namespace

TDirListForm::TDirListForm(QWidget* owner, const QStringList& entries, TUserDialogs& dialogs)
    : QDialog(owner), dirListBox_(new QListWidget(this)), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("DirListForm"));
    dirListBox_->setObjectName(QStringLiteral("DirListBox"));
    dirListBox_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    dirListBox_->addItems(entries);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto addButton = [bar](const char* name, const QString& caption, const QString& hint,
                                 const std::function<void()>& click) {
        QAction* action = bar->addAction(caption);
        action->setToolTip(hint);
        bar->widgetForAction(action)->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, bar, click);
    };
    addButton("DeleteBtn", QStringLiteral("削除(&D)"), QStringLiteral("選択ディレクトリのリストからの削除"),
              [this] { DeleteBtnClick(); });
    addButton("AllClearBtn", QStringLiteral("すべて消去(&X)"), QStringLiteral("リモートディレクトリリストの消去"),
              [this] { AllClearBtnClick(); });
    bar->addSeparator();
    addButton("OkBtn", QStringLiteral("&OK"), QStringLiteral("OK"), [this] { accept(); });
    addButton("CancelBtn", QStringLiteral("&Cancel"), QStringLiteral("取り消し"), [this] { reject(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(dirListBox_, 1);
    // Sizeable, at 500 by 250 when it opens, centred on the owner (QDialog centres on its parent).
    resize(500, 250);
    setSizeGripEnabled(true);
}

QStringList TDirListForm::Entries() const
{
    QStringList entries;
    for (int row = 0; row < dirListBox_->count(); ++row)
        entries << dirListBox_->item(row)->text();
    return entries;
}

QToolButton* TDirListForm::Button(const char* name) const
{
    return findChild<QToolButton*>(QString::fromLatin1(name));
}

void TDirListForm::DeleteBtnClick()
{
    // Walking the rows and testing the same position again after a delete takes every run of
    // selected rows.
    for (int row = 0; row < dirListBox_->count();) {
        if (dirListBox_->item(row)->isSelected())
            delete dirListBox_->takeItem(row);
        else
            ++row;
    }
    dirListBox_->update();
}

void TDirListForm::AllClearBtnClick()
{
    if (dialogs_.Ask(ClearAllQuestion, TUserDialogs::Buttons::YesNo, TUserDialogs::Icon::Exclamation)
        == TUserDialogs::Answer::Yes)
        dirListBox_->clear();
}
