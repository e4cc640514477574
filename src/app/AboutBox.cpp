#include "app/AboutBox.h"

#include "app/MarluxApplication.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Marluxについて"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    title_ = new QLabel(QStringLiteral("Marlux Version 2.1.2.0"), this);
    title_->setObjectName(QStringLiteral("ProductName"));
    notice_ = new QLabel(QStringLiteral("2ペインのFTPクライアント"), this);
    notice_->setObjectName(QStringLiteral("Comments"));

    auto* texts = new QVBoxLayout;
    texts->addWidget(title_);
    texts->addWidget(notice_);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

QString TAboutBox::TitleText() const
{
    return title_->text();
}

QString TAboutBox::NoticeText() const
{
    return notice_->text();
}
