#include "fileops/FileDlg.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {

constexpr int ClientWidth = 454;
constexpr int ClientHeight = 116;
constexpr int EditWidth = 417;

}

TFileDlg::TFileDlg(QWidget* owner)
    : QDialog(owner),
      currentName_(new QLabel(this)),
      newName_(new QLabel(this)),
      newEdit_(new QLineEdit(this)),
      okBtn_(new QPushButton(QStringLiteral("OK"), this)),
      cancelBtn_(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("FileDlg"));
    currentName_->setObjectName(QStringLiteral("CurrentName"));
    newName_->setObjectName(QStringLiteral("NewName"));
    newEdit_->setObjectName(QStringLiteral("NewEdit"));
    okBtn_->setObjectName(QStringLiteral("OkBtn"));
    cancelBtn_->setObjectName(QStringLiteral("CancelBtn"));

    newEdit_->setFixedWidth(EditWidth);
    okBtn_->setDefault(true);
    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);

    // Tight margins so the labels, the edit box and the buttons fit the dialog's 116 pixels.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(4);
    layout->addWidget(currentName_);
    layout->addWidget(newName_);
    layout->addWidget(newEdit_, 0, Qt::AlignHCenter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okBtn_);
    buttons->addWidget(cancelBtn_);
    layout->addLayout(buttons);

    // A dialog border: fixed size, centred on the owner (QDialog centres on its parent).
    setFixedSize(ClientWidth, ClientHeight);
    setSizeGripEnabled(false);
}

void TFileDlg::Prepare(const QString& title, const QString& currentName, const QString& newName,
                       const QString& newText)
{
    setWindowTitle(title);
    currentName_->setText(currentName);
    newName_->setText(newName);
    newEdit_->setText(newText);
}

void TFileDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    newEdit_->setFocus(Qt::OtherFocusReason);
    newEdit_->selectAll();
}
