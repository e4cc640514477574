#pragma once
#include "settings/KeyList.h"

#include <QDialog>
#include <QList>

class QAction;
class QLineEdit;
class QListWidget;
class QPushButton;
class THotKeyBox;
class TShortcutMenus;
class TUserDialogs;

// What the shortcut key dialog works on.
struct TSetKeySources {
    TShortcutMenus& menus;
    TKeyList keys;
    TUserDialogs& dialogs;  // reports a "KeyList.ini" that cannot be written
};

// "ショートカットの割り当て": lists the main menu's command items with their keys and writes or
// removes their entries in "KeyList.ini".
class TSetKeyDlg : public QDialog {
    Q_OBJECT
public:
    // The controls carry their component names (lbTopMenu, lbMenu, hkNewKey, ...).
    TSetKeyDlg(QWidget* owner, TSetKeySources sources);

private:
    void BuildLayout();
    void lbTopMenuSelected();
    void lbMenuSelected();
    void ApplyBtnClick();
    void DefaultBtnClick();
    QAction* SelectedItem() const;
    void ShowCurrentKey(const QString& text);

    TSetKeySources sources_;
    QList<QAction*> topMenuItems_;
    QList<QAction*> menuItems_;
    QListWidget* lbTopMenu_;
    QListWidget* lbMenu_;
    QLineEdit* edCurrentKey_;
    THotKeyBox* hkNewKey_;
    QLineEdit* edNewKey_;
    QPushButton* applyBtn_;
    QPushButton* defaultBtn_;
    QPushButton* okBtn_;
};
