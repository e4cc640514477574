#pragma once
#include "platform/ListFile.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class TSettingsWindow;
class TUserDialogs;
enum class TToolBarId;

// What the options dialog edits besides the settings file.
struct TOptionDlgSources {
    QString settingsPath;
    TSettingsWindow& window;
    StringList& textExtList;
    StringList& skipExtList;
    StringList& noDeleteExtList;
    TUserDialogs& dialogs;
};

// "オプション": edits the options the main window does not edit itself. Toolbar changes act on the
// window at once; the rest takes effect on OK. Its own keys go through WriteOptions/ReadOptions.
class TOptionDlg : public QDialog {
    Q_OBJECT
public:
    TOptionDlg(QWidget* owner, TOptionDlgSources sources);

    // The dialog's keys in their fixed orders (every key the option record gives the dialog).
    static const std::vector<const char*>& WriteOptionsOrder();
    static const std::vector<const char*>& ReadOptionsOrder();

    // A log-limit edit's text as a number: 500 when it is not a 32-bit decimal number.
    static int LimitValue(const QString& text);

    // Throws EIniWriteError when the settings file cannot be written.
    void WriteOptions(const QString& section);
    void ReadOptions(const QString& section) { ReadOptions(section, nullptr); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // How one option key is shown: its stored value read from and written to its control.
    struct TOptionControl {
        std::function<int()> value;
        std::function<void(int)> setValue;
    };

    // Building (OptionDlgPages.cpp).
    void BuildPages();
    QWidget* BuildProgramPage();
    QWidget* BuildTransferPage();
    QWidget* BuildExtensionPage();
    QWidget* BuildToolBarPage();
    QWidget* BuildOtherPage();
    QCheckBox* AddCheckBox(const char* key, const char* name, const QString& caption, bool checked);
    QButtonGroup* AddRadioGroup(const char* key, QWidget* box, const QStringList& items, int designed);
    QComboBox* AddEdgeBox(const char* key, const char* name, TToolBarId bar);
    QLineEdit* AddLimitEdit(const char* key, const char* name);
    QSpinBox* AddConnectionsBox(const char* key, const char* name);
    QPushButton* AddColourButton(const char* key, const char* name, const QString& caption);

    // Reads the section; a missing key keeps the control's value, or takes the value from
    // valuesWhenMissing when given.
    void ReadOptions(const QString& section, const std::map<std::string, int>* valuesWhenMissing);

    // Handlers.
    void ApplyToolBarLook();
    void ckDrawImageClick();
    void ckLeftImageClick();
    void ckShowCaptionClick();
    void ckFlatBtnClick();
    void ckShowToolBarClick();
    void ColourBtnClick(const char* key);
    void ApplicationBrowseClick();
    void InitDirBrowseClick();
    void LimitEditExit(QLineEdit* edit);
    void OkBtnClick();
    void DefaultBtnClick();
    void RestoreBtnClick();
    void CancelBtnClick();

    TOptionDlgSources sources_;
    std::map<std::string, TOptionControl> controls_;
    // The controls' values once the dialog was created: what "変更前に戻す" goes back to where
    // "CURRENT" lacks a key (the toolbar look before the first OK).
    std::map<std::string, int> valuesAtOpening_;
    QCheckBox* ckDrawImage_ = nullptr;
    QCheckBox* ckLeftImage_ = nullptr;
    QCheckBox* ckShowCaption_ = nullptr;
    QCheckBox* ckFlatBtn_ = nullptr;
    QCheckBox* ckShowToolBar_ = nullptr;
    QLineEdit* applicationPathEdit_ = nullptr;
    QLineEdit* edInitDir_ = nullptr;
    QLineEdit* edMaxLog_ = nullptr;
    QLineEdit* edMaxFileLog_ = nullptr;
    QPlainTextEdit* textExtMemo_ = nullptr;
    QPlainTextEdit* skipExtMemo_ = nullptr;
    QPlainTextEdit* noDeleteExtMemo_ = nullptr;
    QPushButton* cancelBtn_ = nullptr;
};
