#include "settings/SetKeyDlg.h"

#include "settings/HotKeyBox.h"
#include "settings/JapaneseUiFont.h"
#include "settings/ReportedErrors.h"
#include "settings/ShortcutMenus.h"
#include "settings/ShortcutText.h"
#include "settings/UserDialogs.h"

#include <QAction>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

const QString KeyGap = QStringLiteral("       ");  // seven spaces between caption and key

QLabel* BuddyLabel(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

}  // namespace

TSetKeyDlg::TSetKeyDlg(QWidget* owner, TSetKeySources sources)
    : QDialog(owner),
      sources_(std::move(sources)),
      lbTopMenu_(new QListWidget(this)),
      lbMenu_(new QListWidget(this)),
      edCurrentKey_(new QLineEdit(this)),
      hkNewKey_(new THotKeyBox(this)),
      edNewKey_(new QLineEdit(this)),
      applyBtn_(new QPushButton(QStringLiteral("適用(&S)"), this)),
      defaultBtn_(new QPushButton(QStringLiteral("デフォルトに戻す(&D)"), this)),
      okBtn_(new QPushButton(QStringLiteral("閉じる"), this))
{
    setObjectName(QStringLiteral("SetKeyDlg"));
    setWindowTitle(QStringLiteral("ショートカットの割り当て"));
    setFont(JapaneseUiFont());
    BuildLayout();

    connect(lbTopMenu_, &QListWidget::currentRowChanged, this, [this] { lbTopMenuSelected(); });
    connect(lbMenu_, &QListWidget::currentRowChanged, this, [this] { lbMenuSelected(); });
    connect(applyBtn_, &QPushButton::clicked, this, [this] { ApplyBtnClick(); });
    connect(defaultBtn_, &QPushButton::clicked, this, [this] { DefaultBtnClick(); });
    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);

    topMenuItems_ = sources_.menus.MainMenuItems();
    for (const QAction* item : topMenuItems_)
        lbTopMenu_->addItem(item->text());
    if (!topMenuItems_.isEmpty())
        lbTopMenu_->setCurrentRow(0);
}

void TSetKeyDlg::BuildLayout()
{
    lbTopMenu_->setObjectName(QStringLiteral("lbTopMenu"));
    lbMenu_->setObjectName(QStringLiteral("lbMenu"));
    edCurrentKey_->setObjectName(QStringLiteral("edCurrentKey"));
    hkNewKey_->setObjectName(QStringLiteral("hkNewKey"));
    edNewKey_->setObjectName(QStringLiteral("edNewKey"));
    applyBtn_->setObjectName(QStringLiteral("ApplyBtn"));
    defaultBtn_->setObjectName(QStringLiteral("DefaultBtn"));
    okBtn_->setObjectName(QStringLiteral("OKBtn"));

    edCurrentKey_->setReadOnly(true);
    hkNewKey_->SetHotKey(QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_A)));
    applyBtn_->setDefault(true);
    lbTopMenu_->setFixedWidth(130);

    auto* keys = new QGridLayout;
    keys->addWidget(BuddyLabel(QStringLiteral("現在の割り当てキー"), edCurrentKey_), 0, 0);
    keys->addWidget(edCurrentKey_, 1, 0);
    keys->addWidget(BuddyLabel(QStringLiteral("新規割り当てキー（キー入力 &K）"), hkNewKey_), 2, 0);
    keys->addWidget(hkNewKey_, 3, 0);
    keys->addWidget(BuddyLabel(QStringLiteral("新規割り当てキー（直接入力 &D）"), edNewKey_), 4, 0);
    keys->addWidget(edNewKey_, 5, 0);
    keys->addWidget(new QLabel(QStringLiteral("Shift+Enter等、キー入力不可時"), this), 6, 0);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(applyBtn_);
    buttons->addWidget(defaultBtn_);
    buttons->addWidget(okBtn_);

    auto* lists = new QHBoxLayout;
    lists->addWidget(lbTopMenu_);
    lists->addWidget(lbMenu_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(keys);
    layout->addLayout(buttons);
    setFixedSize(520, 440);
}

void TSetKeyDlg::lbTopMenuSelected()
{
    const int top = lbTopMenu_->currentRow();
    lbMenu_->clear();
    menuItems_.clear();
    if (top < 0)
        return;
    for (QAction* item : CommandItems(sources_.menus, topMenuItems_[top])) {
        menuItems_.append(item);
        lbMenu_->addItem(sources_.menus.MenuItemCaption(item) + KeyGap +
                         ShortCutToText(sources_.menus.MenuItemShortCut(item)));
    }
    lbMenu_->setCurrentRow(menuItems_.isEmpty() ? -1 : 0);
    lbMenuSelected();
    if (lbTopMenu_->isVisible())
        lbTopMenu_->setFocus();
}

void TSetKeyDlg::lbMenuSelected()
{
    const QAction* item = SelectedItem();
    if (!item)
        return;
    const QKeySequence key = sources_.menus.MenuItemShortCut(item);
    ShowCurrentKey(ShortCutToText(key));
    hkNewKey_->SetHotKey(key);
}

QAction* TSetKeyDlg::SelectedItem() const
{
    const int row = lbMenu_->currentRow();
    return row >= 0 && row < menuItems_.size() ? menuItems_[row] : nullptr;
}

void TSetKeyDlg::ShowCurrentKey(const QString& text)
{
    edCurrentKey_->setText(text.isEmpty() ? QStringLiteral("なし") : text);
}

void TSetKeyDlg::ApplyBtnClick()
{
    const QAction* item = SelectedItem();
    if (!item)
        return;
    const QString text = edNewKey_->text().isEmpty() ? ShortCutToText(hkNewKey_->HotKey()) : edNewKey_->text();
    if (!RunReportingErrors(sources_.dialogs, [&] { sources_.keys.Write(item->objectName(), text); }))
        return;
    ApplyShortcutKeys(sources_.keys, sources_.menus);

    const int row = lbMenu_->currentRow();
    lbTopMenuSelected();
    lbMenu_->setCurrentRow(row);
    lbMenuSelected();
}

void TSetKeyDlg::DefaultBtnClick()
{
    const QAction* item = SelectedItem();
    if (!item)
        return;
    if (RunReportingErrors(sources_.dialogs, [&] { sources_.keys.Remove(item->objectName()); }))
        edCurrentKey_->setText(QStringLiteral("次回立ち上げ時変更"));
}
