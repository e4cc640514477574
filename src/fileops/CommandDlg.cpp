#include "fileops/CommandDlg.h"

#include "service/Command.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int ClientWidth = 323;
constexpr int ClientHeight = 284;
constexpr int ChmodEditWidth = 36;

// The CHMOD modes of the first three choices; the fourth takes edChmod's digits.
const char* const FixedModes[] = {"644", "755", "666"};

QLabel* NamedLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

TCommandDlg::TCommandDlg(QWidget* owner, Sources sources)
    : QDialog(owner),
      sources_(std::move(sources)),
      label3_(NamedLabel(QStringLiteral("Label3"), QStringLiteral("複数ファイルの処理可能です"), this)),
      rgChmodOption_(new QGroupBox(QStringLiteral("属性変更(chmod)のオプション (for UNIX only)"), this)),
      chmodOptions_(new QButtonGroup(this)),
      edChmod_(new QLineEdit(QStringLiteral("644"), rgChmodOption_)),
      label2_(NamedLabel(QStringLiteral("Label2"), QStringLiteral("コマンドの直接入力"), this)),
      edCommand_(new QLineEdit(this)),
      label1_(NamedLabel(QStringLiteral("Label1"), QStringLiteral("実行コマンドのプレビュー：  自由に編集可"), this)),
      reCommand_(new QPlainTextEdit(this)),
      okBtn_(new QPushButton(QStringLiteral("&OK"), this)),
      cancelBtn_(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("CommandDlg"));
    setWindowTitle(QStringLiteral("コマンドの実行"));
    rgChmodOption_->setObjectName(QStringLiteral("rgChmodOption"));
    edChmod_->setObjectName(QStringLiteral("edChmod"));
    edCommand_->setObjectName(QStringLiteral("edCommand"));
    reCommand_->setObjectName(QStringLiteral("reCommand"));
    okBtn_->setObjectName(QStringLiteral("OkBtn"));
    cancelBtn_->setObjectName(QStringLiteral("CancelBtn"));

    // Two columns, filled column by column; the mode digits sit next to the fourth item.
    auto* options = new QGridLayout(rgChmodOption_);
    options->setContentsMargins(8, 4, 8, 4);
    options->setVerticalSpacing(2);
    const QString items[] = {QStringLiteral("htmlファイル"), QStringLiteral("実行ファイル"),
                             QStringLiteral("書き込みファイル"), QStringLiteral("その他属性")};
    for (int index = 0; index < 4; ++index) {
        auto* item = new QRadioButton(items[index], rgChmodOption_);
        item->setObjectName(QStringLiteral("rgChmodOption%1").arg(index));
        chmodOptions_->addButton(item, index);
        if (index < 3) {
            options->addWidget(item, index % 2, index / 2);
            continue;
        }
        auto* other = new QHBoxLayout;
        other->addWidget(item);
        other->addWidget(edChmod_);
        other->addStretch();
        options->addLayout(other, 1, 1);
    }
    chmodOptions_->button(0)->setChecked(true);
    edChmod_->setFixedWidth(ChmodEditWidth);

    reCommand_->setLineWrapMode(QPlainTextEdit::NoWrap);
    reCommand_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reCommand_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // Enter in an edit box must not send commands by accident: no button is the default.
    for (QPushButton* button : {okBtn_, cancelBtn_})
        button->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(4);
    layout->addWidget(label3_);
    layout->addWidget(rgChmodOption_);
    auto* direct = new QHBoxLayout;
    direct->addWidget(label2_);
    direct->addWidget(edCommand_);
    layout->addLayout(direct);
    layout->addWidget(label1_);
    layout->addWidget(reCommand_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okBtn_);
    buttons->addWidget(cancelBtn_);
    layout->addLayout(buttons);
    setFixedSize(ClientWidth, ClientHeight);

    connect(chmodOptions_, &QButtonGroup::buttonClicked, this, [this] { rgChmodOptionClick(); });
    connect(edChmod_, &QLineEdit::textChanged, this, [this] { rgChmodOptionClick(); });
    connect(edCommand_, &QLineEdit::textChanged, this, [this] { rgChmodOptionClick(); });
    connect(okBtn_, &QPushButton::clicked, this, [this] { OkBtnClick(); });
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
}

QRadioButton* TCommandDlg::ChmodOptionItem(int index) const
{
    return qobject_cast<QRadioButton*>(chmodOptions_->button(index));
}

int TCommandDlg::ItemIndex() const
{
    return chmodOptions_->checkedId();
}

QString TCommandDlg::CommandPrefix() const
{
    if (!edCommand_->text().isEmpty())
        return edCommand_->text() + u' ';
    const int index = ItemIndex();
    const QString mode = index >= 0 && index < 3 ? QString::fromLatin1(FixedModes[index]) : edChmod_->text();
    return QStringLiteral("CHMOD ") + mode + u' ';
}

void TCommandDlg::rgChmodOptionClick()
{
    const QString prefix = CommandPrefix();
    QStringList lines;
    for (const QString& name : sources_.selectedNames)
        lines << prefix + name.trimmed();
    if (lines.isEmpty())
        lines << prefix;
    reCommand_->setPlainText(lines.join(u'\n'));
}

void TCommandDlg::OkBtnClick()
{
    // The window's events are handled while each line's job runs: a second click or Esc must
    // not run into the sending. The dialog closes afterwards either way.
    setEnabled(false);
    Launch(SendLines());
}

TTask<> TCommandDlg::SendLines()
{
    // Runs from the button inside the modal loop, which no error may cross.
    try {
        for (const QString& line : reCommand_->toPlainText().split(u'\n')) {
            const QString command = line.trimmed();
            if (!command.isEmpty())
                co_await sources_.sendLine(command);
        }
        sources_.remoteRefresh();
        accept();
    } catch (...) {
        failure_ = std::current_exception();
        reject();
    }
}

void TCommandDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    rgChmodOptionClick();
    chmodOptions_->checkedButton()->setFocus(Qt::OtherFocusReason);
}
