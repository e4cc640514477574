// The five pages of the options dialog and the controls bound to option keys.
#include "settings/OptionDlg.h"

#include "log/LogColor.h"
#include "settings/ReportedErrors.h"
#include "settings/WindowSettings.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTabWidget>

namespace {

// A label that wraps to the width its column gets instead of widening the dialog.
QLabel* Note(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QPushButton* BrowseButton(const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setAutoDefault(false);
    return button;
}

QPlainTextEdit* ExtensionMemo(const char* name)
{
    auto* memo = new QPlainTextEdit;
    memo->setObjectName(QString::fromLatin1(name));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    return memo;
}

void SetButtonTextColour(QPushButton* button, int value)
{
    button->setProperty("colorValue", value);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, ColorFromValue(value));
    button->setPalette(palette);
}

}  // namespace

QCheckBox* TOptionDlg::AddCheckBox(const char* key, const char* name, const QString& caption, bool checked)
{
    auto* box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    controls_[key] = {[box] { return box->isChecked() ? 1 : 0; }, [box](int value) { box->setChecked(value != 0); }};
    return box;
}

QButtonGroup* TOptionDlg::AddRadioGroup(const char* key, QWidget* box, const QStringList& items, int designed)
{
    auto* group = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    layout->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i]);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    group->button(designed)->setChecked(true);
    // A stored index outside the items leaves the choice as it is.
    controls_[key] = {[group] { return group->checkedId(); },
                      [group](int value) {
                          if (QAbstractButton* radio = group->button(value))
                              radio->setChecked(true);
                      }};
    return group;
}

QComboBox* TOptionDlg::AddEdgeBox(const char* key, const char* name, TToolBarId bar)
{
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(QStringLiteral("ﾂｰﾙﾊﾞｰの位置"));
    box->addItems({QStringLiteral("上"), QStringLiteral("下"), QStringLiteral("左"), QStringLiteral("右")});
    // Only the user's choice docks the toolbar; reading a section does not.
    connect(box, &QComboBox::activated, this, [this, bar](int index) { sources_.window.SetToolBarAlign(bar, index + 1); });
    const int designed = sources_.window.ToolBarAlign(bar);
    box->setCurrentIndex(designed - 1);
    // Edges outside 1 to 4 show as the edge the window uses for them.
    controls_[key] = {[box] { return box->currentIndex() + 1; },
                      [box, bar, this](int edge) {
                          box->setCurrentIndex(edge >= 1 && edge <= 4 ? edge - 1 : sources_.window.ToolBarAlign(bar) - 1);
                      }};
    return box;
}

QLineEdit* TOptionDlg::AddLimitEdit(const char* key, const char* name)
{
    auto* edit = new QLineEdit(QStringLiteral("500"));
    edit->setObjectName(QString::fromLatin1(name));
    // Typed characters other than digits are dropped; the editing keys keep working.
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->installEventFilter(this);
    controls_[key] = {[edit] { return LimitValue(edit->text()); },
                      [edit](int value) { edit->setText(QString::number(value)); }};
    return edit;
}

QSpinBox* TOptionDlg::AddConnectionsBox(const char* key, const char* name)
{
    auto* box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    // Values from the file outside the range show as the nearest bound.
    box->setRange(1, MaxTransferConnections);
    controls_[key] = {[box] { return box->value(); }, [box](int value) { box->setValue(value); }};
    return box;
}

QPushButton* TOptionDlg::AddColourButton(const char* key, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    SetButtonTextColour(button, LogColor::WindowText);
    connect(button, &QPushButton::clicked, this, [this, key] { ColourBtnClick(key); });
    controls_[key] = {[button] { return button->property("colorValue").toInt(); },
                      [button](int value) { SetButtonTextColour(button, value); }};
    return button;
}

void TOptionDlg::BuildPages()
{
    auto* pages = new QTabWidget;
    pages->setObjectName(QStringLiteral("PageControl1"));
    pages->addTab(BuildProgramPage(), QStringLiteral("プログラム"));
    pages->addTab(BuildTransferPage(), QStringLiteral("転送"));
    pages->addTab(BuildExtensionPage(), QStringLiteral("拡張子"));
    pages->addTab(BuildToolBarPage(), QStringLiteral("ツールバー"));
    pages->addTab(BuildOtherPage(), QStringLiteral("その他"));

    const auto button = [this](const QString& caption, const char* name, const QString& hint) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* ok = button(QStringLiteral("&OK"), "OkBtn", QStringLiteral("更新"));
    ok->setDefault(true);
    cancelBtn_ = button(QStringLiteral("&Cancel"), "CancelBtn", QStringLiteral("取り消し"));
    QPushButton* defaults = button(QStringLiteral("デフォルトに戻す"), "DefaultBtn", QStringLiteral("ﾃﾞﾌｫﾙﾄの状態に戻す"));
    QPushButton* restore = button(QStringLiteral("変更前に戻す"), "RestoreBtn", QStringLiteral("設定変更前に戻す"));
    QCheckBox* saveConfig = AddCheckBox("bSaveConfig", "SaveConfigBtn", QStringLiteral("設定を保存する"), true);
    connect(ok, &QPushButton::clicked, this, [this] { OkBtnClick(); });
    // The restore buttons act on the whole window; whatever fails there is reported, not thrown
    // through the event loop.
    connect(cancelBtn_, &QPushButton::clicked, this,
            [this] { RunReportingErrors(sources_.dialogs, [this] { CancelBtnClick(); }); });
    connect(defaults, &QPushButton::clicked, this,
            [this] { RunReportingErrors(sources_.dialogs, [this] { DefaultBtnClick(); }); });
    connect(restore, &QPushButton::clicked, this,
            [this] { RunReportingErrors(sources_.dialogs, [this] { RestoreBtnClick(); }); });
    connect(saveConfig, &QCheckBox::toggled, this, [this] { ckFlatBtnClick(); });

    auto* buttons = new QGridLayout;
    buttons->addWidget(saveConfig, 0, 0);
    buttons->addWidget(defaults, 0, 1);
    buttons->addWidget(restore, 0, 2);
    buttons->addWidget(ok, 1, 1);
    buttons->addWidget(cancelBtn_, 1, 2);
    buttons->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(pages, 1);
    layout->addLayout(buttons);
}

QWidget* TOptionDlg::BuildProgramPage()
{
    auto* page = new QWidget;
    auto* viewer = new QGroupBox(QStringLiteral("ビューア"));
    applicationPathEdit_ = new QLineEdit;
    applicationPathEdit_->setObjectName(QStringLiteral("ApplicationPathEdit"));
    applicationPathEdit_->setToolTip(QStringLiteral("ﾋﾞｭｰｱの指定"));
    QPushButton* browse = BrowseButton(QStringLiteral("参照(&B)..."));
    browse->setObjectName(QStringLiteral("ApplicationBrowseBtn"));
    connect(browse, &QPushButton::clicked, this, [this] { ApplicationBrowseClick(); });
    auto* viewerRow = new QHBoxLayout(viewer);
    viewerRow->addWidget(applicationPathEdit_, 1);
    viewerRow->addWidget(browse);

    auto* local = new QGroupBox(QStringLiteral("ﾛｰｶﾙﾌｧｲﾙのﾀﾞﾌﾞﾙｸﾘｯｸ"));
    local->setObjectName(QStringLiteral("LocalDClickOptionGrp"));
    AddRadioGroup("iOnLocalDblClick", local,
                  {QStringLiteral("指定ビューアで開く"), QStringLiteral("アップロード"), QStringLiteral("なにもしない")}, 2);
    auto* remote = new QGroupBox(QStringLiteral("ﾘﾓｰﾄﾌｧｲﾙのﾀﾞﾌﾞﾙｸﾘｯｸ"));
    remote->setObjectName(QStringLiteral("RemoteDClickOptionGrp"));
    AddRadioGroup("iOnRemoteDblClick", remote,
                  {QStringLiteral("指定ビューアで開く"), QStringLiteral("ダウンロード"), QStringLiteral("なにもしない")}, 2);
    auto* clicks = new QHBoxLayout;
    clicks->addWidget(local);
    clicks->addWidget(remote);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(viewer);
    layout->addLayout(clicks);
    layout->addWidget(AddCheckBox("bConnectDlgOnStart", "ckConnectDlgOnStart",
                                  QStringLiteral("スタート時に接続ウインドウを表示"), true));
    layout->addWidget(AddCheckBox("bNoDisconnect", "ckNoDisconnect", QStringLiteral("ホストのタイムアウトを防止する"), false));
    layout->addWidget(AddCheckBox("bShowTransactionDlg", "ckShowTransactionDlg",
                                  QStringLiteral("転送状況ウインドウを表示"), true));
    layout->addStretch();
    return page;
}

QWidget* TOptionDlg::BuildTransferPage()
{
    auto* page = new QWidget;
    auto* names = new QGroupBox(QStringLiteral("転送後のファイル名"));
    names->setObjectName(QStringLiteral("rgFileNameAfterTransfer"));
    AddRadioGroup("iFileNameAfterTransfer", names,
                  {QStringLiteral("そのまま"), QStringLiteral("すべて大文字に変換"), QStringLiteral("すべて小文字に変換")}, 0);
    auto* notes = new QVBoxLayout;
    notes->addWidget(new QLabel(QStringLiteral("右クリックメニューではその場で")));
    notes->addWidget(new QLabel(QStringLiteral("選択できます")));
    notes->addWidget(new QLabel(QStringLiteral("ボタンやDrop ＆ Drag操作時有効")));
    notes->addStretch();
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(names);
    nameRow->addLayout(notes, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(AddCheckBox("bCompareTimeStamp", "ckCompareTimeStamp",
                                  QStringLiteral("フォルダ転送時、タイムスタンプを比較して更新ファイルのみ転送"), false));
    layout->addWidget(AddCheckBox("bRetrieveRemoteTimeStamp", "ckRetrieveRemoteTimeStamp",
                                  QStringLiteral("リモートファイルのタイムスタンプを保持してダウンロード"), false));
    layout->addLayout(nameRow);
    auto* mirrorRow = new QHBoxLayout;
    mirrorRow->addWidget(AddCheckBox("bMirroringAtUploadAll", "ckMirroringAtUploadAll",
                                     QStringLiteral("すべてアップロード時に不要ファイルを削除（ミラーリング）"), false));
    mirrorRow->addWidget(AddCheckBox("bMirrorPreview", "ckMirrorPreview", QStringLiteral("ミラーリング前に確認する"), true));
    mirrorRow->addStretch();
    layout->addLayout(mirrorRow);
    auto* connections = new QHBoxLayout;
    connections->addWidget(new QLabel(QStringLiteral("同時接続数")));
    connections->addWidget(AddConnectionsBox("iTransferConnections", "seTransferConnections"));
    connections->addStretch();
    layout->addLayout(connections);
    layout->addStretch();
    return page;
}

QWidget* TOptionDlg::BuildExtensionPage()
{
    auto* page = new QWidget;
    textExtMemo_ = ExtensionMemo("TextExtMemo");
    skipExtMemo_ = ExtensionMemo("SkipExtMemo");
    noDeleteExtMemo_ = ExtensionMemo("NoDeleteExtMemo");
    const auto column = [](QPlainTextEdit* memo, const QStringList& notes) {
        auto* layout = new QVBoxLayout;
        layout->addWidget(Note(notes.front()));
        layout->addWidget(memo, 1);
        for (qsizetype i = 1; i < notes.size(); ++i)
            layout->addWidget(Note(notes[i]));
        return layout;
    };
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(column(textExtMemo_, {QStringLiteral("Autoモード時にASCII転送する拡張子"),
                                            QStringLiteral("Autoモードの場合は指定ファイル以外、"),
                                            QStringLiteral("binary転送されます。"), QStringLiteral("拡張子にはピリオドが必要")}),
                      1);
    layout->addLayout(column(skipExtMemo_, {QStringLiteral("転送しない拡張子"), QStringLiteral("一括転送時にスキップします。")}), 1);
    layout->addLayout(column(noDeleteExtMemo_, {QStringLiteral("削除しない拡張子"),
                                                QStringLiteral("ミラーリングアップロード時にそのまま"), QStringLiteral("残します。")}),
                      1);
    return page;
}

QWidget* TOptionDlg::BuildToolBarPage()
{
    auto* page = new QWidget;
    auto* edges = new QFormLayout;
    edges->addRow(QStringLiteral("ヘッダーツールバーの位置"), AddEdgeBox("iHeaderToolBarAlign", "HeaderTBarBox", TToolBarId::Header));
    edges->addRow(QStringLiteral("ローカル操作のツールバーの位置"),
                  AddEdgeBox("iLocalSysToolBarAlign", "LocalTBarBox", TToolBarId::LocalSys));
    edges->addRow(QStringLiteral("リモート操作ツールバーの位置"),
                  AddEdgeBox("iRemoteSysToolBarAlign", "RemoteTBarBox", TToolBarId::RemoteSys));

    ckDrawImage_ = AddCheckBox("bDrawImage", "ckDrawImage", QStringLiteral("ボタンにイメージを描画"), true);
    ckDrawImage_->setToolTip(QStringLiteral("ﾎﾞﾀﾝ上にﾋﾞｯﾄﾏｯﾌﾟを描画"));
    ckLeftImage_ = AddCheckBox("bListBtn", "ckLeftImage", QStringLiteral("イメージを左側に描画"), false);
    ckLeftImage_->setToolTip(QStringLiteral("ﾋﾞｯﾄﾏｯﾌﾟをﾎﾞﾀﾝ左に描画"));
    ckFlatBtn_ = AddCheckBox("bFlatBtn", "ckFlatBtn", QStringLiteral("フラットボタン"), true);
    ckFlatBtn_->setToolTip(QStringLiteral("ﾌﾗｯﾄﾎﾞﾀﾝの適用"));
    ckShowCaption_ = AddCheckBox("bShowCaption", "ckShowCaption", QStringLiteral("ボタンにキャプションを表示"), false);
    ckShowToolBar_ = AddCheckBox("bShowToolBar", "ckShowToolBar", QStringLiteral("ツールバーを表示"), true);
    // Check boxes run their handlers whenever their state changes, also when a section is read.
    connect(ckDrawImage_, &QCheckBox::toggled, this, [this] { ckDrawImageClick(); });
    connect(ckLeftImage_, &QCheckBox::toggled, this, [this] { ckLeftImageClick(); });
    connect(ckFlatBtn_, &QCheckBox::toggled, this, [this] { ckFlatBtnClick(); });
    connect(ckShowCaption_, &QCheckBox::toggled, this, [this] { ckShowCaptionClick(); });
    connect(ckShowToolBar_, &QCheckBox::toggled, this, [this] { ckShowToolBarClick(); });

    auto* looks = new QGridLayout;
    looks->addWidget(ckDrawImage_, 0, 0);
    looks->addWidget(ckLeftImage_, 0, 1);
    looks->addWidget(ckFlatBtn_, 1, 0);
    looks->addWidget(ckShowCaption_, 1, 1);
    looks->addWidget(ckShowToolBar_, 2, 0);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(edges);
    layout->addLayout(looks);
    layout->addStretch();
    return page;
}

QWidget* TOptionDlg::BuildOtherPage()
{
    auto* page = new QWidget;
    auto* sort = new QGroupBox(QStringLiteral("ディレクトリ変更時のファイルソート方法"));
    sort->setObjectName(QStringLiteral("rgFileListSort"));
    AddRadioGroup("iFileListSort", sort,
                  {QStringLiteral("ファイル名で昇順"), QStringLiteral("ファイル名で降順"), QStringLiteral("ファイルサイズで昇順"),
                   QStringLiteral("ファイルサイズで降順"), QStringLiteral("タイムスタンプで昇順"),
                   QStringLiteral("タイムスタンプで降順")},
                  0);

    edMaxLog_ = AddLimitEdit("iMaxLog", "edMaxLog");
    edMaxFileLog_ = AddLimitEdit("iMaxFileLog", "edMaxFileLog");
    auto* limits = new QVBoxLayout;
    limits->addWidget(new QLabel(QStringLiteral("セッションログの最大行数")));
    limits->addWidget(edMaxLog_);
    limits->addWidget(new QLabel(QStringLiteral("ファイル処理ログの最大行数")));
    limits->addWidget(edMaxFileLog_);

    auto* colours = new QGroupBox(QStringLiteral("ログの色"));
    auto* colourRow = new QVBoxLayout(colours);
    colourRow->addWidget(AddColourButton("iCommentColor", "CommentBtn", QStringLiteral(">>")));
    colourRow->addWidget(AddColourButton("iIntColor", "IntBtn", QStringLiteral("数字")));
    colourRow->addWidget(AddColourButton("iReserveColor", "ReserveBtn", QStringLiteral("Connected")));
    auto* right = new QVBoxLayout;
    right->addLayout(limits);
    right->addWidget(colours);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(sort);
    top->addLayout(right, 1);

    edInitDir_ = new QLineEdit;
    edInitDir_->setObjectName(QStringLiteral("edInitDir"));
    QPushButton* browse = BrowseButton(QStringLiteral("参照..."));
    browse->setObjectName(QStringLiteral("InitDirBrowseBtn"));
    connect(browse, &QPushButton::clicked, this, [this] { InitDirBrowseClick(); });
    auto* initDir = new QHBoxLayout;
    initDir->addWidget(edInitDir_, 1);
    initDir->addWidget(browse);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(new QLabel(QStringLiteral("初期ローカルディレクトリ")));
    layout->addLayout(initDir);
    layout->addStretch();
    return page;
}
