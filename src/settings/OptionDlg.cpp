#include "settings/OptionDlg.h"

#include "log/LogColor.h"
#include "platform/IniFile.h"
#include "settings/JapaneseUiFont.h"
#include "settings/OptionRecord.h"
#include "settings/ReportedErrors.h"
#include "settings/UserDialogs.h"
#include "settings/WindowSettings.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString DefaultSection = QStringLiteral("DEFAULT");
const QString CurrentSection = QStringLiteral("CURRENT");
constexpr int DefaultLimit = 500;
constexpr int DesignedWidth = 402;
constexpr int DesignedHeight = 343;

QString ListText(const StringList& list)
{
    QString text;
    for (const std::string& entry : list)
        text += QString::fromStdString(entry) + u'\n';
    return text;
}

// One entry per line, taken as typed; a last line break does not make an empty entry.
StringList MemoLines(const QPlainTextEdit* memo)
{
    QStringList lines = memo->toPlainText().split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    StringList list;
    for (const QString& line : lines)
        list.push_back(line.toStdString());
    return list;
}

int ValueFromColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

}  // namespace

TOptionDlg::TOptionDlg(QWidget* owner, TOptionDlgSources sources) : QDialog(owner), sources_(std::move(sources))
{
    setObjectName(QStringLiteral("OptionDlg"));
    setWindowTitle(QStringLiteral("オプション"));
    setFont(JapaneseUiFont());
    BuildPages();
    // Tight spacing keeps the pages near the designed size; a font that needs more room gets it.
    for (QLayout* layout : findChildren<QLayout*>()) {
        layout->setContentsMargins(4, 2, 4, 2);
        layout->setSpacing(2);
    }
    setFixedSize(QSize(DesignedWidth, DesignedHeight).expandedTo(minimumSizeHint()));

    const TWindowOptions& options = sources_.window.Options();
    applicationPathEdit_->setText(options.asApplication);
    edInitDir_->setText(options.asInitialDirectory);
    WriteOptions(DefaultSection);
    ReadOptions(CurrentSection);
    ApplyToolBarLook();
    for (const auto& [key, control] : controls_)
        valuesAtOpening_[key] = control.value();
    const std::pair<QPlainTextEdit*, const StringList*> memos[] = {{textExtMemo_, &sources_.textExtList},
                                                                   {skipExtMemo_, &sources_.skipExtList},
                                                                   {noDeleteExtMemo_, &sources_.noDeleteExtList}};
    for (const auto& [memo, list] : memos)
        if (!list->empty())
            memo->setPlainText(ListText(*list));
}

const std::vector<const char*>& TOptionDlg::WriteOptionsOrder()
{
    static const std::vector<const char*> order = {
        "iOnLocalDblClick", "iOnRemoteDblClick", "bSaveConfig", "bShowToolBar", "bDrawImage", "bShowCaption",
        "bFlatBtn", "bListBtn", "bConnectDlgOnStart", "bNoDisconnect", "bShowTransactionDlg", "bCompareTimeStamp",
        "bRetrieveRemoteTimeStamp", "bMirroringAtUploadAll", "bMirrorPreview", "iMaxLog", "iMaxFileLog", "iFileListSort",
        "iFileNameAfterTransfer", "iCommentColor", "iIntColor", "iReserveColor", "iTransferConnections"};
    return order;
}

const std::vector<const char*>& TOptionDlg::ReadOptionsOrder()
{
    static const std::vector<const char*> order = {
        "iOnLocalDblClick", "iOnRemoteDblClick", "bSaveConfig", "bDrawImage", "bShowToolBar", "bShowCaption",
        "bFlatBtn", "bListBtn", "bConnectDlgOnStart", "bNoDisconnect", "bShowTransactionDlg", "bCompareTimeStamp",
        "bRetrieveRemoteTimeStamp", "bMirroringAtUploadAll", "bMirrorPreview", "iHeaderToolBarAlign", "iLocalSysToolBarAlign",
        "iRemoteSysToolBarAlign", "iMaxLog", "iMaxFileLog", "iFileListSort", "iFileNameAfterTransfer",
        "iCommentColor", "iIntColor", "iReserveColor", "iTransferConnections"};
    return order;
}

int TOptionDlg::LimitValue(const QString& text)
{
    bool number = false;
    const int value = text.toInt(&number);
    return number ? value : DefaultLimit;
}

void TOptionDlg::WriteOptions(const QString& section)
{
    TIniFile ini(sources_.settingsPath.toStdString());
    const std::string name = section.toStdString();
    for (const char* keyName : WriteOptionsOrder()) {
        const OptionKey& key = FindOption(keyName);
        const int value = controls_.at(key.name).value();
        if (key.type == OptionType::Boolean)
            ini.WriteBool(name, key.name, value != 0);
        else
            ini.WriteInteger(name, key.name, value);
    }
}

void TOptionDlg::ReadOptions(const QString& section, const std::map<std::string, int>* valuesWhenMissing)
{
    const TIniFile ini(sources_.settingsPath.toStdString());
    const std::string name = section.toStdString();
    for (const char* keyName : ReadOptionsOrder()) {
        const OptionKey& key = FindOption(keyName);
        const TOptionControl& control = controls_.at(key.name);
        // Only the colours have a default of their own.
        const int current = key.type == OptionType::Colour ? key.dialogIntDefault
                            : valuesWhenMissing           ? valuesWhenMissing->at(key.name)
                                                          : control.value();
        if (key.type == OptionType::Boolean)
            control.setValue(ini.ReadBool(name, key.name, current != 0) ? 1 : 0);
        else
            control.setValue(ini.ReadInteger(name, key.name, current));
    }
}

// Live handlers: each acts on the main window at once.

void TOptionDlg::ApplyToolBarLook()
{
    ckDrawImageClick();
    ckLeftImageClick();
    ckFlatBtnClick();
}

void TOptionDlg::ckDrawImageClick()
{
    // Buttons never lose both image and caption.
    if (!ckDrawImage_->isChecked() && !ckShowCaption_->isChecked()) {
        ckDrawImage_->setChecked(true);
        return;
    }
    ckLeftImage_->setEnabled(ckDrawImage_->isChecked());
    if (ckDrawImage_->isChecked())
        sources_.window.RestoreHeaderImages();
    else
        sources_.window.RemoveHeaderImages();
}

void TOptionDlg::ckLeftImageClick()
{
    if (ckLeftImage_->isEnabled())
        sources_.window.SetHeaderCaptionsBesideImages(ckLeftImage_->isChecked());
}

void TOptionDlg::ckShowCaptionClick()
{
    if (!ckDrawImage_->isChecked() && !ckShowCaption_->isChecked()) {
        ckShowCaption_->setChecked(true);
        return;
    }
    sources_.window.SetHeaderShowCaptions(ckShowCaption_->isChecked());
    sources_.window.SetToolBarButtonWidth(10);
}

void TOptionDlg::ckFlatBtnClick()
{
    sources_.window.SetHeaderFlat(ckFlatBtn_->isChecked());
    sources_.window.SetPaneToolBarsFlat(ckFlatBtn_->isChecked());
}

void TOptionDlg::ckShowToolBarClick()
{
    sources_.window.SetHeaderVisible(ckShowToolBar_->isChecked());
    sources_.window.SetPaneToolBarsVisible(ckShowToolBar_->isChecked());
}

void TOptionDlg::ColourBtnClick(const char* key)
{
    const TOptionControl& control = controls_.at(key);
    const QColor chosen = sources_.dialogs.ChooseColor(ColorFromValue(control.value()));
    if (chosen.isValid())
        control.setValue(ValueFromColor(chosen));
}

void TOptionDlg::ApplicationBrowseClick()
{
    // Programs have no extension here, so the all-files filter comes first.
    const QString path = sources_.dialogs.ChooseFileToOpen(
        {QStringLiteral("Exeﾌｧｲﾙ (*.exe)"), QStringLiteral("すべてのﾌｧｲﾙ (*.*)")}, 1, QString());
    if (!path.isEmpty())
        applicationPathEdit_->setText(path);
}

void TOptionDlg::InitDirBrowseClick()
{
    const QString path = sources_.dialogs.BrowseForFolder(QStringLiteral("ローカルの初期ディレクトリの選択："));
    if (!path.isEmpty())
        edInitDir_->setText(path);
}

bool TOptionDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && (watched == edMaxLog_ || watched == edMaxFileLog_)) {
        // Leaving the edit, not the window: another window taking the focus is no exit.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (isVisible() && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            LimitEditExit(static_cast<QLineEdit*>(watched));
    }
    return QDialog::eventFilter(watched, event);
}

void TOptionDlg::LimitEditExit(QLineEdit* edit)
{
    bool number = false;
    if (edit->text().toInt(&number) <= 0 || !number)
        sources_.dialogs.ShowMessage(QStringLiteral("数値を入力してください"));
}

// Buttons.

void TOptionDlg::OkBtnClick()
{
    TSettingsWindow& window = sources_.window;
    TWindowOptions& options = window.Options();
    options.asApplication = applicationPathEdit_->text();
    options.asInitialDirectory = edInitDir_->text();
    options.iOnLocalDblClick = controls_.at("iOnLocalDblClick").value();
    options.iOnRemoteDblClick = controls_.at("iOnRemoteDblClick").value();
    options.bCompareTimeStamp = controls_.at("bCompareTimeStamp").value() != 0;
    options.bRetrieveRemoteTimeStamp = controls_.at("bRetrieveRemoteTimeStamp").value() != 0;
    options.bMirroringAtUploadAll = controls_.at("bMirroringAtUploadAll").value() != 0;
    options.bMirrorPreview = controls_.at("bMirrorPreview").value() != 0;
    options.iTransferConnections = controls_.at("iTransferConnections").value();
    window.SetKeepAliveEnabled(controls_.at("bNoDisconnect").value() != 0);
    options.bShowTransactionDlg = controls_.at("bShowTransactionDlg").value() != 0;
    // Taken as typed: the "." in front of text extensions is added only at start-up.
    sources_.textExtList = MemoLines(textExtMemo_);
    sources_.skipExtList = MemoLines(skipExtMemo_);
    sources_.noDeleteExtList = MemoLines(noDeleteExtMemo_);
    options.iMaxLog = controls_.at("iMaxLog").value();
    options.iMaxFileLog = controls_.at("iMaxFileLog").value();
    options.iFileListSort = controls_.at("iFileListSort").value();
    options.iFileNameAfterTransfer = controls_.at("iFileNameAfterTransfer").value();
    window.SetLogColor(TLogColorClass::Comment, controls_.at("iCommentColor").value());
    window.SetLogColor(TLogColorClass::Int, controls_.at("iIntColor").value());
    window.SetLogColor(TLogColorClass::Reserve, controls_.at("iReserveColor").value());
    if (RunReportingErrors(sources_.dialogs, [this] { WriteOptions(CurrentSection); }))
        accept();
}

void TOptionDlg::DefaultBtnClick()
{
    LoadSettings(sources_.settingsPath, DefaultSection, sources_.window);
    ReadOptions(DefaultSection);
    ApplyToolBarLook();
}

void TOptionDlg::RestoreBtnClick()
{
    const QString directory = sources_.window.LocalDirectory();
    LoadSettings(sources_.settingsPath, CurrentSection, sources_.window);
    // "CURRENT" lacks the dialog's keys until its first OK; those go back to their values at
    // opening, so Cancel undoes every live change.
    ReadOptions(CurrentSection, &valuesAtOpening_);
    ApplyToolBarLook();
    sources_.window.SetLocalDirectory(directory);
}

void TOptionDlg::CancelBtnClick()
{
    RestoreBtnClick();
    reject();
}

void TOptionDlg::keyPressEvent(QKeyEvent* event)
{
    // Escape is the Cancel button; only the title-bar close leaves without restoring.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cancelBtn_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
