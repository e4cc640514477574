#include "session/ConnectForm.h"

#include "ftp/IdFTP.h"
#include "panes/ComboItems.h"
#include "panes/DroppedPaths.h"
#include "platform/DateTime.h"
#include "platform/IniFile.h"
#include "service/LocalPaths.h"
#include "session/PasswordStore.h"
#include "session/ProtocolBox.h"
#include "session/SshSettings.h"
#include "sftp/SftpSession.h"
#include "settings/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>
#include <variant>

namespace {

const std::string CurrentSection = "CURRENT";
const std::string NameEncodingKeyName = "NAMEENCODING";
constexpr int BufferSizeMinimum = 4098;

int DefaultPort(TProtocol protocol)
{
    return protocol == TProtocol::Sftp ? 22 : 21;
}

std::string Std(const QString& text)
{
    return text.toStdString();
}

QString Qt6(const std::string& text)
{
    return QString::fromStdString(text);
}

template <class T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* Button(const QString& caption, const char* name, const QString& hint = {})
{
    auto* button = Named(new QPushButton(caption), name);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setAutoDefault(false);
    return button;
}

QSpinBox* BufferSpin(const char* name)
{
    auto* spin = Named(new QSpinBox, name);
    spin->setRange(BufferSizeMinimum, 1000000);
    spin->setSingleStep(BufferSizeMinimum);
    spin->setValue(8196);
    return spin;
}

// The number typed into a spin box, which may lie below its minimum until the box is left;
// text that is not a number counts as the minimum.
int TypedSpinValue(const QSpinBox& spin)
{
    bool ok = false;
    const int typed = spin.cleanText().trimmed().toInt(&ok);
    return ok ? typed : spin.minimum();
}

int IntegerOr(const QString& text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

int StrToInt(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw EConvertError("'" + Std(text) + "' is not a valid integer value");
    return value;
}

}  // namespace

namespace {

// A stored encryption choice outside the known ones means none.
int EncryptionIndex(int stored)
{
    return stored >= utNoTLSSupport && stored <= utUseImplicitTLS ? stored : utNoTLSSupport;
}

// The name encoding box's items, in the order of TNameEncoding; a missing or unknown stored
// value is automatic detection.
void ShowNameEncoding(QComboBox& box, const std::string& stored)
{
    box.setCurrentIndex(int(NameEncodingFromKey(stored).value_or(TNameEncoding::Auto)));
}

TNameEncoding ShownNameEncoding(const QComboBox& box)
{
    return static_cast<TNameEncoding>(std::max(box.currentIndex(), 0));
}

std::string NameEncodingKeyOf(const QComboBox& box)
{
    return std::string(NameEncodingKey(ShownNameEncoding(box)));
}

}  // namespace

struct TConnectForm::TCurrentKey {
    const char* key;
    std::variant<QLineEdit*, QCheckBox*, QSpinBox*, QComboBox*, TProtocolBox*> control;
};

namespace {

void ReadKey(const TIniFile& ini, const TConnectForm::TCurrentKey& entry)
{
    const std::string& section = CurrentSection;
    std::visit(
        [&](auto* control) {
            using Control = std::remove_pointer_t<decltype(control)>;
            if constexpr (std::is_same_v<Control, QLineEdit>)
                control->setText(Qt6(ini.ReadString(section, entry.key, Std(control->text()))));
            else if constexpr (std::is_same_v<Control, QCheckBox>)
                control->setChecked(ini.ReadBool(section, entry.key, control->isChecked()));
            else if constexpr (std::is_same_v<Control, QSpinBox>)
                control->setValue(ini.ReadInteger(section, entry.key, TypedSpinValue(*control)));
            else if constexpr (std::is_same_v<Control, TProtocolBox>)
                control->SetProtocol(ProtocolFromKey(ini.ReadString(section, entry.key, "")));
            else
                control->setCurrentIndex(ini.ReadInteger(section, entry.key, control->currentIndex()));
        },
        entry.control);
}

void WriteKey(TIniFile& ini, const TConnectForm::TCurrentKey& entry)
{
    const std::string& section = CurrentSection;
    std::visit(
        [&](auto* control) {
            using Control = std::remove_pointer_t<decltype(control)>;
            if constexpr (std::is_same_v<Control, QLineEdit>)
                ini.WriteString(section, entry.key, Std(control->text()));
            else if constexpr (std::is_same_v<Control, QCheckBox>)
                ini.WriteBool(section, entry.key, control->isChecked());
            else if constexpr (std::is_same_v<Control, QSpinBox>)
                ini.WriteInteger(section, entry.key, TypedSpinValue(*control));
            else if constexpr (std::is_same_v<Control, TProtocolBox>)
                ini.WriteString(section, entry.key, ProtocolKey(control->Protocol()));
            else
                ini.WriteInteger(section, entry.key, control->currentIndex());
        },
        entry.control);
}

}  // namespace

TConnectForm::TConnectForm(QWidget* parent, Sources sources)
    : QDialog(parent), sources_(std::move(sources))
{
    setObjectName(QStringLiteral("ConnectForm"));
    setWindowTitle(QStringLiteral("接続先のプロファイル"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setAcceptDrops(true);

    auto* tabs = Named(new QTabWidget, "PageControl1");
    tabs->addTab(BuildBasicPage(), QStringLiteral("基本"));
    tabs->addTab(BuildOptionPage(), QStringLiteral("オプション"));

    auto* okBtn = Button(QStringLiteral("&OK"), "OkBtn");
    okBtn->setDefault(true);
    auto* cancelBtn = Button(QStringLiteral("&Cancel"), "CancelBtn");
    connect(okBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
    connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);  // Esc rejects as well
    connect(this, &QDialog::finished, this, [this] { afterPasswordRead_.clear(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okBtn);
    buttons->addWidget(cancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // A password read that ends after the field or the profile shown changed would overwrite
    // what is there now.
    connect(PasswordEdit, &QLineEdit::textChanged, this, [this] {
        if (!fillingPassword_)
            DropPasswordRead();
    });
    connect(ProfileNameBox, &QComboBox::editTextChanged, this, [this] { DropPasswordRead(); });
    ProtocolBoxChange();
    // Connected before the settings load, so that a loaded protocol shows its controls.
    connect(ProtocolBox, &QComboBox::currentIndexChanged, this, [this] { ProtocolBoxChange(); });
    FormCreate();
    // Typed or chosen names load their profile; names the program sets do not.
    connect(ProfileNameBox, &QComboBox::textActivated, this, [this] { ProfileNameBoxChange(); });
    connect(ProfileNameBox->lineEdit(), &QLineEdit::textEdited, this, [this] { ProfileNameBoxChange(); });
    ProfileNameBox->setFocus();

    if (parent) {
        adjustSize();
        move(parent->geometry().center() - rect().center());
    }
}

void TConnectForm::setVisible(bool visible)
{
    // A dialog selects the text of the control that gets the focus when it shows.
    QDialog::setVisible(visible);
    if (visible)
        ProfileNameBox->lineEdit()->end(false);
}

QWidget* TConnectForm::BuildBasicPage()
{
    ProfileNameBox = Named(new QComboBox, "ProfileNameBox");
    ProfileNameBox->setEditable(true);
    ProfileNameBox->setInsertPolicy(QComboBox::NoInsert);
    ProtocolBox = Named(new TProtocolBox, "ProtocolBox");
    HostNameEdit = Named(new QLineEdit, "HostNameEdit");
    UserIdEdit = Named(new QLineEdit, "UserIdEdit");
    PasswordEdit = Named(new QLineEdit, "PasswordEdit");
    PasswordEdit->setEchoMode(QLineEdit::Password);
    SshKeyEdit = Named(new QLineEdit, "SshKeyEdit");
    SshKeyEdit->setToolTip(QStringLiteral("公開鍵認証に使う秘密鍵。パスワード欄はこの鍵のパスフレーズになります"));
    AccountEdit = Named(new QLineEdit, "AccountEdit");
    HostDirEdit = Named(new QLineEdit, "HostDirEdit");
    LocalDirEdit = Named(new QLineEdit, "LocalDirEdit");
    ckOpenLastDir = Named(new QCheckBox(QStringLiteral("前回最後に開いたディレクトリを再現する")), "ckOpenLastDir");
    CommentEdit = Named(new QLineEdit, "CommentEdit");
    ckConnectOnCreate = Named(new QCheckBox(QStringLiteral("起動時に直接接続")), "ckConnectOnCreate");

    auto* refBtn = Button(QStringLiteral("参照..."), "RefBtn");
    connect(refBtn, &QPushButton::clicked, this, [this] { RefBtnClick(); });
    auto* localDirRow = new QHBoxLayout;
    localDirRow->addWidget(LocalDirEdit);
    localDirRow->addWidget(refBtn);

    auto* sshKeyBtn = Button(QStringLiteral("..."), "SshKeyBtn", QStringLiteral("秘密鍵ファイルの選択"));
    connect(sshKeyBtn, &QPushButton::clicked, this, [this] { SshKeyBtnClick(); });
    auto* sshKeyRow = new QHBoxLayout;
    sshKeyRow->addWidget(SshKeyEdit);
    sshKeyRow->addWidget(sshKeyBtn);
    sshKeyRow_ = sshKeyRow;

    auto* directories = Named(new QGroupBox(QStringLiteral("接続時の初期ディレクトリ")), "DirGroupBox");
    auto* directoryForm = new QFormLayout(directories);
    directoryForm->addRow(QStringLiteral("リモートホスト"), HostDirEdit);
    directoryForm->addRow(QStringLiteral("ローカルPC"), localDirRow);
    directoryForm->addRow(ckOpenLastDir);

    auto* deleteBtn = Button(QStringLiteral("削除"), "DeleteBtn", QStringLiteral("現在のプロファイルを削除"));
    auto* saveBtn = Button(QStringLiteral("保存"), "SaveBtn", QStringLiteral("現在のプロファイルを保存"));
    auto* newBtn = Button(QStringLiteral("新規"), "NewBtn", QStringLiteral("すべて消去して新規プロファイルを作成"));
    connect(deleteBtn, &QPushButton::clicked, this, [this] { DeleteBtnClick(); });
    connect(saveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
    connect(newBtn, &QPushButton::clicked, this, [this] { NewBtnClick(); });
    auto* profileButtons = new QHBoxLayout;
    profileButtons->addWidget(ckConnectOnCreate);
    profileButtons->addStretch();
    profileButtons->addWidget(deleteBtn);
    profileButtons->addWidget(saveBtn);
    profileButtons->addWidget(newBtn);

    auto* page = Named(new QWidget, "BasicSheet");
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("プロファイル名"), ProfileNameBox);
    form->addRow(QStringLiteral("プロトコル"), ProtocolBox);
    form->addRow(QStringLiteral("ホストアドレス"), HostNameEdit);
    form->addRow(QStringLiteral("ユーザ 名"), UserIdEdit);
    form->addRow(QStringLiteral("パスワード"), PasswordEdit);
    form->addRow(QStringLiteral("秘密鍵ファイル"), sshKeyRow);
    form->addRow(QStringLiteral("アカウント"), AccountEdit);
    basicForm_ = form;
    MarkFtpOnly(*form, AccountEdit);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(directories);
    auto* commentForm = new QFormLayout;
    commentForm->addRow(QStringLiteral("コメント"), CommentEdit);
    layout->addLayout(commentForm);
    layout->addLayout(profileButtons);
    for (QLineEdit* edit : {HostNameEdit, UserIdEdit, PasswordEdit, AccountEdit, HostDirEdit, LocalDirEdit, CommentEdit})
        edit->setMinimumWidth(280);
    // Its row's button takes width beside it, as the local folder's does.
    SshKeyEdit->setMinimumWidth(280 - sshKeyBtn->sizeHint().width());
    return page;
}

QWidget* TConnectForm::BuildOptionPage()
{
    TimeOutEdit = Named(new QLineEdit(QStringLiteral("60")), "TimeOutEdit");
    PortEdit = Named(new QLineEdit(QString::number(DefaultPort(TProtocol::Ftp))), "PortEdit");
    SavePassWordBox = Named(new QCheckBox(QStringLiteral("パスワードを保存する")), "SavePassWordBox");
    SavePassWordBox->setChecked(true);
    ckPassive = Named(new QCheckBox(QStringLiteral("パッシブモード")), "ckPassive");
    seSendBufferSize = BufferSpin("seSendBufferSize");
    seRecvBufferSize = BufferSpin("seRecvBufferSize");
    // The engine's TIdUseTLS values are the item indexes.
    EncryptionBox = Named(new QComboBox, "EncryptionBox");
    EncryptionBox->addItems({QStringLiteral("なし"), QStringLiteral("明示的な FTP over TLS"),
                             QStringLiteral("暗黙的な FTP over TLS")});
    UseMlsdBox = Named(new QCheckBox(QStringLiteral("MLSDを使う")), "UseMlsdBox");
    UseMlsdBox->setChecked(true);
    VerifyBox = Named(new QCheckBox(QStringLiteral("転送後に検証する")), "VerifyBox");
    VerifyBox->setChecked(true);
    NameEncodingBox = Named(new QComboBox, "NameEncodingBox");
    NameEncodingBox->addItems({QStringLiteral("自動判別"), QStringLiteral("UTF-8"), QStringLiteral("Shift_JIS"),
                               QStringLiteral("EUC-JP")});
    ProxyTypeBox = Named(new QComboBox, "ProxyTypeBox");
    ProxyTypeBox->addItems({QStringLiteral("No FTP Proxy"), QStringLiteral("USER user@hostname"),
                            QStringLiteral("SITE (with logon)"), QStringLiteral("Proxy OPEN"),
                            QStringLiteral("USER PASS"), QStringLiteral("Transparent")});
    ProxyTypeBox->setCurrentIndex(-1);
    ProxyServerEdit = Named(new QLineEdit, "ProxyServerEdit");
    ProxyPortEdit = Named(new QLineEdit(QStringLiteral("0")), "ProxyPortEdit");
    ProxyUserNameEdit = Named(new QLineEdit, "ProxyUserNameEdit");
    ProxyPasswordEdit = Named(new QLineEdit, "ProxyPasswordEdit");

    auto* proxy = Named(new QGroupBox(QStringLiteral("プロキシ")), "ProxyGroupBox");
    auto* proxyForm = new QFormLayout(proxy);
    proxyForm->addRow(QStringLiteral("プロキシタイプ"), ProxyTypeBox);
    proxyForm->addRow(QStringLiteral("プロキシサーバ"), ProxyServerEdit);
    proxyForm->addRow(QStringLiteral("プロキシポート"), ProxyPortEdit);
    proxyForm->addRow(QStringLiteral("ユーザー名"), ProxyUserNameEdit);
    proxyForm->addRow(QStringLiteral("パスワード"), ProxyPasswordEdit);

    auto* page = Named(new QWidget, "OptionSheet");
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("タイムアウト (sec) "), TimeOutEdit);
    form->addRow(QStringLiteral("リモートポート"), PortEdit);
    form->addRow(SavePassWordBox);
    auto* placeLabel = Named(new QLabel, "PasswordPlaceLabel");
    form->addRow(placeLabel);
    sources_.passwords.WhenProbed(placeLabel,
                                  [this, placeLabel] { placeLabel->setText(sources_.passwords.PlaceText()); });
    form->addRow(ckPassive);
    form->addRow(QStringLiteral("暗号化"), EncryptionBox);
    form->addRow(QStringLiteral("ファイル名の文字コード"), NameEncodingBox);
    form->addRow(UseMlsdBox);
    form->addRow(VerifyBox);
    form->addRow(QStringLiteral("送信バッファ(byte)"), seSendBufferSize);
    form->addRow(QStringLiteral("受信バッファ(byte)"), seRecvBufferSize);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(proxy);
    layout->addStretch();
    // SSH carries none of these; the FTP proxies relay FTP commands, so they cannot carry it either.
    MarkFtpOnly(*form, ckPassive);
    MarkFtpOnly(*form, EncryptionBox);
    MarkFtpOnly(*form, UseMlsdBox);
    ftpOnlyControls_.push_back(proxy);
    return page;
}

void TConnectForm::FormCreate()
{
    FillProfileList();
    LoadCurrentSection();
    ProfileNameBox->setEditText(sources_.profileBoxText);
    LoadProfileSection();
    // A profile without a password of its own gets the one the last OK saved, if it saved one.
    std::vector<std::string> passwordSections{Std(ProfileNameBox->currentText())};
    if (SavePassWordBox->isChecked())
        passwordSections.push_back(CurrentSection);
    ShowSavedPassword(std::move(passwordSections));
}

void TConnectForm::FillProfileList()
{
    QStringList names;
    for (const std::string& section : TIniFile(Std(sources_.settingsPath)).ReadSections())
        names.append(Qt6(section));
    SetItemsSorted(*ProfileNameBox, std::move(names));
}

bool TConnectForm::ConnectOnCreate() const
{
    return ckConnectOnCreate->isChecked();
}

std::vector<TConnectForm::TCurrentKey> TConnectForm::CurrentKeys() const
{
    // The protocol loads before the port: choosing it moves a default port, and the stored
    // port then has the last word.
    return {{"PROFILE", ProfileNameBox->lineEdit()},
            {ProtocolKeyName, ProtocolBox},
            {"HOST", HostNameEdit},
            {"UID", UserIdEdit},
            {"ACCOUNT", AccountEdit},
            {"SAVEPWD", SavePassWordBox},
            {"PWD", PasswordEdit},
            {SshKeyFileKeyName, SshKeyEdit},
            {"DIR", HostDirEdit},
            {"LOCDIR", LocalDirEdit},
            {"COMMENT", CommentEdit},
            {"TIMEOUT", TimeOutEdit},
            {"PORT", PortEdit},
            {"PROXYSERVER", ProxyServerEdit},
            {"PROXYPORT", ProxyPortEdit},
            {"PROXYTYPE", ProxyTypeBox},
            {"PROXYUSERNAME", ProxyUserNameEdit},
            {"PROXYPASSWORD", ProxyPasswordEdit},
            {"PASSIVE", ckPassive},
            {"SENDBUFFERSIZE", seSendBufferSize},
            {"RECVBUFFERSIZE", seRecvBufferSize},
            {"OPENLASTDIR", ckOpenLastDir},
            {"CONNECTONCREATE", ckConnectOnCreate},
            {"TLS", EncryptionBox},
            {"USEMLSD", UseMlsdBox},
            {"VERIFY", VerifyBox}};
}

void TConnectForm::LoadCurrentSection()
{
    const TIniFile ini(Std(sources_.settingsPath));
    // The profile name comes from the main window, the password from the password store.
    for (const TCurrentKey& entry : CurrentKeys()) {
        const std::string key = entry.key;
        if (key != "PROFILE" && key != "PWD")
            ReadKey(ini, entry);
    }
    ShowNameEncoding(*NameEncodingBox, ini.ReadString(CurrentSection, NameEncodingKeyName, ""));
    LastLocalDir = Qt6(ini.ReadString(CurrentSection, "LASTLOCALDIR", ""));
    LastRemoteDir = Qt6(ini.ReadString(CurrentSection, "LASTREMOTEDIR", ""));
}

void TConnectForm::SaveCurrentSection()
{
    TIniFile ini(Std(sources_.settingsPath));
    for (const TCurrentKey& entry : CurrentKeys())
        if (entry.key != std::string("PWD"))
            WriteKey(ini, entry);
        else if (SavePassWordBox->isChecked())
            sources_.passwords.Write(CurrentSection, PasswordEdit->text());
    ini.WriteString(CurrentSection, NameEncodingKeyName, NameEncodingKeyOf(*NameEncodingBox));
    // The session reads the trusted host key here; a profile without one leaves none behind
    // from the profile used before.
    ini.WriteString(CurrentSection, SshHostKeyKeyName,
                    ini.ReadString(Std(ProfileNameBox->currentText()), SshHostKeyKeyName, ""));
}

void TConnectForm::ProfileNameBoxChange()
{
    LoadProfileSection();
    ShowSavedPassword({Std(ProfileNameBox->currentText())});
}

void TConnectForm::LoadProfileSection()
{
    const TIniFile ini(Std(sources_.settingsPath));
    const std::string section = Std(ProfileNameBox->currentText());
    const auto keepUnlessSet = [&](QLineEdit* edit, const char* key) {
        edit->setText(Qt6(ini.ReadString(section, key, Std(edit->text()))));
    };
    keepUnlessSet(HostNameEdit, "HOST");
    keepUnlessSet(UserIdEdit, "UID");
    keepUnlessSet(AccountEdit, "ACCOUNT");
    // A name being typed keeps the protocol and key shown; a stored profile without them is an
    // FTP one from before there was a choice.
    if (ini.SectionExists(section)) {
        ProtocolBox->SetProtocol(ProtocolFromKey(ini.ReadString(section, ProtocolKeyName, "")));
        SshKeyEdit->setText(Qt6(ini.ReadString(section, SshKeyFileKeyName, "")));
    }
    keepUnlessSet(HostDirEdit, "DIR");
    LocalDirEdit->setText(Qt6(ini.ReadString(section, "LOCDIR", "")));
    CommentEdit->setText(Qt6(ini.ReadString(section, "COMMENT", "")));
    ckOpenLastDir->setChecked(ini.ReadBool(section, "OPENLASTDIR", false));
    EncryptionBox->setCurrentIndex(EncryptionIndex(ini.ReadInteger(section, "TLS", EncryptionBox->currentIndex())));
    ShowNameEncoding(*NameEncodingBox, ini.ReadString(section, NameEncodingKeyName, ""));
    UseMlsdBox->setChecked(ini.ReadBool(section, "USEMLSD", true));
    VerifyBox->setChecked(ini.ReadBool(section, "VERIFY", true));
    LastLocalDir = Qt6(ini.ReadString(section, "LASTLOCALDIR", ""));
    LastRemoteDir = Qt6(ini.ReadString(section, "LASTREMOTEDIR", ""));
}

void TConnectForm::ShowSavedPassword(std::vector<std::string> sections)
{
    passwordPending_ = true;
    ReadSavedPassword(++passwordRequest_, std::move(sections));
}

void TConnectForm::ReadSavedPassword(int request, std::vector<std::string> sections)
{
    const std::string section = sections.front();
    auto done = [this, request, sections = std::move(sections)](std::optional<QString> saved) mutable {
        if (request != passwordRequest_)
            return;
        if (!saved && sections.size() > 1) {
            sections.erase(sections.begin());
            ReadSavedPassword(request, std::move(sections));
            return;
        }
        if (saved) {
            fillingPassword_ = true;
            PasswordEdit->setText(*saved);
            fillingPassword_ = false;
        }
        EndPasswordRead();
    };
    sources_.passwords.Read(section, this, std::move(done));
}

void TConnectForm::EndPasswordRead()
{
    passwordPending_ = false;
    emit PasswordSettled();
    for (void (TConnectForm::*step)() : std::exchange(afterPasswordRead_, {}))
        (this->*step)();
}

void TConnectForm::DropPasswordRead()
{
    if (!passwordPending_)
        return;
    ++passwordRequest_;
    afterPasswordRead_.clear();
    EndPasswordRead();
}

bool TConnectForm::DeferUntilPasswordRead(void (TConnectForm::*step)())
{
    if (!passwordPending_)
        return false;
    if (std::find(afterPasswordRead_.begin(), afterPasswordRead_.end(), step) == afterPasswordRead_.end())
        afterPasswordRead_.push_back(step);
    return true;
}

bool TConnectForm::WriteSettings(const std::function<void()>& write)
{
    try {
        write();
        return true;
    } catch (const EIniWriteError& error) {
        sources_.dialogs.ShowMessage(QString::fromStdString(error.what()));
        return false;
    }
}

void TConnectForm::SaveBtnClick()
{
    if (DeferUntilPasswordRead(&TConnectForm::SaveBtnClick))
        return;
    const QString name = ProfileNameBox->currentText();
    if (name.isEmpty()) {
        sources_.dialogs.ShowMessage(QStringLiteral("プロファイル名を入力してください"));
        return;
    }
    WriteSettings([&] {
        TIniFile ini(Std(sources_.settingsPath));
        const std::string section = Std(name);
        ini.WriteString(section, ProtocolKeyName, ProtocolKey(ProtocolBox->Protocol()));
        ini.WriteString(section, "HOST", Std(HostNameEdit->text()));
        ini.WriteString(section, "UID", Std(UserIdEdit->text()));
        ini.WriteString(section, "ACCOUNT", Std(AccountEdit->text()));
        if (SavePassWordBox->isChecked())
            sources_.passwords.Write(section, PasswordEdit->text());
        ini.WriteString(section, SshKeyFileKeyName, Std(SshKeyEdit->text()));
        ini.WriteString(section, "DIR", Std(HostDirEdit->text()));
        ini.WriteString(section, "LOCDIR", Std(LocalDirEdit->text()));
        ini.WriteString(section, "COMMENT", Std(CommentEdit->text()));
        ini.WriteBool(section, "OPENLASTDIR", ckOpenLastDir->isChecked());
        ini.WriteBool(section, "CONNECTONCREATE", ckConnectOnCreate->isChecked());
        ini.WriteInteger(section, "TLS", EncryptionBox->currentIndex());
        ini.WriteString(section, NameEncodingKeyName, NameEncodingKeyOf(*NameEncodingBox));
        ini.WriteBool(section, "USEMLSD", UseMlsdBox->isChecked());
        ini.WriteBool(section, "VERIFY", VerifyBox->isChecked());
    });
    FillProfileList();
}

void TConnectForm::NewBtnClick()
{
    ProfileNameBox->setEditText(QString());
    for (QLineEdit* edit :
         {HostNameEdit, UserIdEdit, PasswordEdit, SshKeyEdit, AccountEdit, HostDirEdit, LocalDirEdit, CommentEdit})
        edit->clear();
}

void TConnectForm::DeleteBtnClick()
{
    if (sources_.dialogs.Ask(QStringLiteral("選択中のﾌﾟﾛﾌｧｲﾙを消去しますか？"), TUserDialogs::Buttons::YesNo,
                             TUserDialogs::Icon::Exclamation) != TUserDialogs::Answer::Yes)
        return;
    const bool erased = WriteSettings([&] {
        TIniFile(Std(sources_.settingsPath)).EraseSection(Std(ProfileNameBox->currentText()));
        sources_.passwords.Forget(Std(ProfileNameBox->currentText()));
    });
    if (!erased)
        return;
    FillProfileList();
    const TIniFile ini(Std(sources_.settingsPath));
    ProfileNameBox->setEditText(Qt6(ini.ReadString(CurrentSection, "PROFILE", Std(ProfileNameBox->currentText()))));
}

void TConnectForm::RefBtnClick()
{
    const QString folder = sources_.dialogs.BrowseForFolder(QStringLiteral("ローカルの初期ディレクトリの選択："));
    if (!folder.isEmpty())
        LocalDirEdit->setText(folder);
}

void TConnectForm::SshKeyBtnClick()
{
    // Keys usually sit in ~/.ssh, which a file dialog hides among the dot folders.
    const QString current = SshKeyEdit->text();
    const QString sshFolder = QDir::home().filePath(QStringLiteral(".ssh"));
    const QString start = !current.isEmpty()                ? QFileInfo(current).absolutePath()
                          : QFileInfo(sshFolder).isDir() ? sshFolder
                                                           : QDir::homePath();
    const QString chosen =
        sources_.dialogs.ChooseFileToOpen({QStringLiteral("すべてのファイル (*.*)")}, 0, start);
    if (!chosen.isEmpty())
        SshKeyEdit->setText(chosen);
}

void TConnectForm::MarkFtpOnly(const QFormLayout& form, QWidget* field)
{
    ftpOnlyControls_.push_back(field);
    if (QWidget* label = form.labelForField(field))
        ftpOnlyControls_.push_back(label);
}

void TConnectForm::ProtocolBoxChange()
{
    const TProtocol protocol = ProtocolBox->Protocol();
    const bool sftp = protocol == TProtocol::Sftp;
    const TProtocol other = sftp ? TProtocol::Ftp : TProtocol::Sftp;
    if (PortEdit->text().trimmed() == QString::number(DefaultPort(other)))
        PortEdit->setText(QString::number(DefaultPort(protocol)));
    for (QWidget* control : ftpOnlyControls_)
        control->setEnabled(!sftp);
    basicForm_->setRowVisible(sshKeyRow_, sftp);
    PasswordEdit->setToolTip(sftp ? QStringLiteral("秘密鍵ファイルを指定したときは、その鍵のパスフレーズを入力します")
                                  : QString());
}

void TConnectForm::OkBtnClick()
{
    if (DeferUntilPasswordRead(&TConnectForm::OkBtnClick))
        return;
    if (!WriteSettings([this] { SaveCurrentSection(); }))
        return;
    ApplyInitialDirectories();
    ApplyEngineSettings();
    try {
        const qint64 milliseconds = qint64{StrToInt(TimeOutEdit->text())} * 1000;
        sources_.state.ConnectTimeout = static_cast<int>(
            std::clamp<qint64>(milliseconds, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    } catch (const EConvertError&) {
        // No connection: the caller hands the error on once the dialog has closed.
        pendingError_ = std::current_exception();
        reject();
        return;
    }
    // Replies are awaited as long as the connection itself; without a time-out of its own, as
    // long as the engine waits by default.
    sources_.engine.ReadTimeout =
        sources_.state.ConnectTimeout > 0 ? sources_.state.ConnectTimeout : TIdFTP::DefaultReadTimeoutMs;
    sources_.sftp.ReadTimeout =
        sources_.state.ConnectTimeout > 0 ? sources_.state.ConnectTimeout : TSftpSession::DefaultReadTimeoutMs;
    sources_.showConnectionTarget(HostNameEdit->text());
    sources_.setProfileBoxText(ProfileNameBox->currentText());
    sources_.state.ConnectAccepted = true;
    accept();
}

void TConnectForm::ApplyInitialDirectories()
{
    const bool openLast = ckOpenLastDir->isChecked();
    QString remote;
    if (openLast && !LastRemoteDir.isEmpty()) {
        remote = LastRemoteDir;
    } else {
        remote = HostDirEdit->text();
        if (remote.endsWith(u'/'))
            remote.chop(1);
    }
    sources_.setRemoteDirText(remote);

    const QString local = openLast && !LastLocalDir.isEmpty() ? LastLocalDir : LocalDirEdit->text();
    if (!local.isEmpty())
        sources_.changeLocalDirectory(local);
}

void TConnectForm::ApplyEngineSettings()
{
    TIdFTP& engine = sources_.engine;
    engine.ProxySettings.ProxyType = static_cast<TIdFtpProxyType>(std::max(ProxyTypeBox->currentIndex(), 0));
    engine.ProxySettings.Host = Std(ProxyServerEdit->text());
    engine.ProxySettings.Port = IntegerOr(ProxyPortEdit->text(), 0);
    engine.ProxySettings.UserName = Std(ProxyUserNameEdit->text());
    engine.ProxySettings.Password = Std(ProxyPasswordEdit->text());
    ApplyServerSettings(engine);
    ApplyServerSettings(sources_.sftp);
    engine.Passive = ckPassive->isChecked();
    engine.UseTLS = static_cast<TIdUseTLS>(EncryptionIndex(EncryptionBox->currentIndex()));
    engine.UseMLSD = UseMlsdBox->isChecked();
    engine.VerifyTransfers = VerifyBox->isChecked();
    engine.TrustedFingerprint =
        TIniFile(Std(sources_.settingsPath)).ReadString(Std(ProfileNameBox->currentText()), "TLSFINGERPRINT", "");
    if (const int size = TypedSpinValue(*seRecvBufferSize); size >= BufferSizeMinimum)
        engine.RecvBufferSize = size;
    if (const int size = TypedSpinValue(*seSendBufferSize); size >= BufferSizeMinimum)
        engine.SendBufferSize = size;
    // As saved into CURRENT a moment ago, with the profile's trusted host key.
    const TSshSettings ssh = ReadSshSettings(TIniFile(Std(sources_.settingsPath)), CurrentSection);
    sources_.sftp.PrivateKeyFile = NativePath(ssh.keyFile);
    sources_.sftp.TrustedFingerprint = ssh.trustedHostKey;
}

template <class Engine>
void TConnectForm::ApplyServerSettings(Engine& engine) const
{
    engine.Host = Std(HostNameEdit->text());
    engine.Port = IntegerOr(PortEdit->text(), DefaultPort(ProtocolBox->Protocol()));
    engine.Username = Std(UserIdEdit->text());
    engine.Password = Std(PasswordEdit->text());
    engine.NameCodec.SetChoice(ShownNameEncoding(*NameEncodingBox));
}

void TConnectForm::dragEnterEvent(QDragEnterEvent* event)
{
    AcceptDroppedDirectory(*event);
}

void TConnectForm::dropEvent(QDropEvent* event)
{
    if (const QString directory = AcceptDroppedDirectory(*event); !directory.isEmpty())
        LocalDirEdit->setText(directory);
}
