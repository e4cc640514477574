#include "transfer/TransactionDlg.h"

#include "transfer/CopyAnimation.h"

#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

constexpr int ClientWidth = 494;
constexpr int ClientHeight = 167;
constexpr int CaptionX = 16;
constexpr int CaptionWidth = 72;
constexpr int TextX = CaptionX + CaptionWidth;
constexpr int TextWidth = ClientWidth - TextX - 12;
constexpr int LineHeight = 16;
constexpr int FirstLineY = 68;

}  // namespace

TTransactionDlg::TTransactionDlg(QWidget* owner, std::function<void()> abortBtnClick)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TransactionDlg"));
    setWindowTitle(QStringLiteral("Marlux 転送状況..."));
    setModal(false);
    setFixedSize(ClientWidth, ClientHeight);

    Animate1 = new TCopyAnimation(this);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->setGeometry(8, 6, 272, 60);

    AbortBtn = new QPushButton(QIcon::fromTheme(QStringLiteral("process-stop"), style()->standardIcon(QStyle::SP_BrowserStop)),
                               QStringLiteral("中止(&S)"), this);
    AbortBtn->setObjectName(QStringLiteral("AbortBtn"));
    AbortBtn->setGeometry(300, 20, 88, 28);
    connect(AbortBtn, &QPushButton::clicked, this, std::move(abortBtnClick));
    CloseBtn = new QPushButton(QStringLiteral("閉じる(&X)"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setGeometry(396, 20, 88, 28);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);

    const QString status = QStringLiteral("動作："), file = QStringLiteral("ファイル："), bytes = QStringLiteral("状況：");
    AddLabel("Label4", status, status, CaptionX, FirstLineY, CaptionWidth);
    lbStatus = AddLabel("lbStatus", QStringLiteral("Waiting for Reply ..."), status, TextX, FirstLineY, TextWidth);
    AddLabel("Label1", file, file, CaptionX, FirstLineY + LineHeight, CaptionWidth);
    lbFile = AddLabel("lbFile", QStringLiteral("Searching for Files ..."), file, TextX, FirstLineY + LineHeight, TextWidth);
    AddLabel("Label2", bytes, bytes, CaptionX, FirstLineY + 2 * LineHeight, CaptionWidth);
    lbByte = AddLabel("lbByte", QString(), bytes, TextX, FirstLineY + 2 * LineHeight, TextWidth);
    // The byte line with speed and remaining time is longer than the window is wide.
    lbByte->setFixedHeight(2 * LineHeight);
    lbByte->setWordWrap(true);
    lbByte->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(CaptionX, FirstLineY + 4 * LineHeight + 6, ClientWidth - 2 * CaptionX, 18);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    // A plain bar, as the platform's progress control draws it; the percentage would be
    // shaped and drawn again on every move.
    ProgressBar1->setTextVisible(false);

    // Esc closes through reject(); the window opens with the focus on CloseBtn.
    CloseBtn->setFocus();
}

QLabel* TTransactionDlg::AddLabel(const char* name, const QString& text, const QString& accessibleName, int x, int y, int width)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    // Named for assistive tools by its caption rather than its changing text.
    label->setAccessibleName(accessibleName);
    // A fixed size keeps a new text from asking the dialog for a new layout on every report.
    label->setGeometry(x, y, width, LineHeight);
    label->setFixedSize(width, LineHeight);
    return label;
}

void TTransactionDlg::showEvent(QShowEvent* event)
{
    if (!shownOnce_ && parentWidget())
        move(parentWidget()->geometry().center() - rect().center());
    shownOnce_ = true;
    QDialog::showEvent(event);
}

void TTransactionDlg::SetTexts(const QString& status, const QString& file, const QString& bytes)
{
    lbStatus->setText(status);
    lbFile->setText(file);
    lbByte->setText(bytes);
    pendingBytes_ = bytes;
}

void TTransactionDlg::SetBytesText(const QString& bytes)
{
    pendingBytes_ = bytes;
    if (bytesPending_)
        return;
    bytesPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            bytesPending_ = false;
            lbByte->setText(pendingBytes_);
        },
        Qt::QueuedConnection);
}

void TTransactionDlg::SetBarMaximum(std::int64_t maximum)
{
    barShift_ = 0;
    while ((maximum >> barShift_) > INT_MAX)
        ++barShift_;
    ProgressBar1->setMaximum(static_cast<int>(std::max<std::int64_t>(maximum >> barShift_, 0)));
    // A move smaller than a pixel is not seen.
    barStep_ = std::max(1, ProgressBar1->maximum() / std::max(1, ProgressBar1->width()));
}

void TTransactionDlg::SetBarPosition(std::int64_t position)
{
    const int value = static_cast<int>(std::clamp<std::int64_t>(position >> barShift_, 0, INT_MAX));
    // Every move asks the style for the bar's geometry, which costs more than the rest of a
    // work report; moves too small to see wait for a later report.
    if (value != 0 && value != ProgressBar1->maximum() && std::abs(value - ProgressBar1->value()) < barStep_)
        return;
    // The bar would paint itself at once; with updates off it is painted with the rest of the
    // window when events are processed.
    ProgressBar1->setUpdatesEnabled(false);
    ProgressBar1->setValue(value);
    ProgressBar1->setUpdatesEnabled(true);
}
