#include "preview/ImageViewForm.h"

#include <QCoreApplication>
#include <QLabel>

TImageViewForm::TImageViewForm(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      image1_(new QLabel(this))
{
    setObjectName(QStringLiteral("ImageViewForm"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->move(0, 0);
    resize(InitialClientWidth, InitialClientHeight);
}

void TImageViewForm::SetSizeHint(int height, int width)
{
    const QString hint = QStringLiteral("高さ:%1 幅:%2").arg(height).arg(width);
    setToolTip(hint);
    setStatusTip(hint);
}

bool TImageViewForm::event(QEvent* event)
{
    // Status tips stop at a window; the main window shows them in its status bar.
    if (event->type() == QEvent::StatusTip && parentWidget())
        return QCoreApplication::sendEvent(parentWidget(), event);
    return QWidget::event(event);
}
