#include "log/Editor.h"

#include "log/LogColor.h"
#include "log/LogSyntax.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <stdexcept>

namespace {

constexpr int WheelStepRows = 5;

QFont LogFont()
{
    QFont font(QStringLiteral("Noto Sans Mono CJK JP"), 9);
    font.setStyleHint(QFont::Monospace);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(9);
    }
    return font;
}

// Control characters (embedded line breaks, tabs) show as blanks.
QString DisplayText(const QString& line)
{
    QString text = line;
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = u' ';
    return text;
}

}

TEditor::TEditor(QWidget* parent)
    : QAbstractScrollArea(parent), commentColor_(LogColor::DesignedComment), intColor_(LogColor::DesignedInt),
      reserveColor_(LogColor::DesignedReserve)
{
    setFont(LogFont());
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ColorFromValue(LogColor::ButtonFace));
    pal.setColor(QPalette::Highlight, QColor(0, 0, 128));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    setPalette(pal);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TEditor::ScrollBarMoved);
    SyncScrollBar();
}

void TEditor::AppendLine(QString line)
{
    lines_.Append(std::move(line));
    ScheduleSync();
}

void TEditor::DeleteFirstLine()
{
    if (lines_.Count() == 0)
        return;
    lines_.RemoveFirst();
    caretLine_ = std::max(0, caretLine_ - 1);
    // The rows on screen stay where they are: everything moved up by one line.
    SetTopRow(topRow_ - 1);
}

void TEditor::Clear()
{
    lines_.Clear();
    caretLine_ = 0;
    caretColumn_ = 0;
    SetTopRow(0);
}

void TEditor::SaveToFile(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write " + path.toStdString() + ": " + file.errorString().toStdString());
    for (int i = 0; i < lines_.Count(); ++i) {
        file.write(lines_.At(i).toUtf8());
        file.write("\n");
    }
    if (!file.commit())
        throw std::runtime_error("cannot write " + path.toStdString() + ": " + file.errorString().toStdString());
}

void TEditor::CaretToEnd()
{
    caretLine_ = std::max(0, lines_.Count() - 1);
    caretColumn_ = lines_.Count() == 0 ? 0 : int(lines_.At(caretLine_).size());
}

void TEditor::ScrollCaretIntoView()
{
    const int top = TopRow();
    const int rows = VisibleRowCount();
    if (caretLine_ < top)
        SetTopRow(caretLine_);
    else if (caretLine_ >= top + rows)
        SetTopRow(caretLine_ - rows + 1);
}

int TEditor::TopRow() const
{
    return topRow_;
}

void TEditor::SetTopRow(int row)
{
    topRow_ = std::clamp(row, 0, MaxTopRow());
    ScheduleSync();
}

int TEditor::MaxTopRow() const
{
    return std::max(0, lines_.Count() - VisibleRowCount());
}

int TEditor::RowHeight() const
{
    return std::max(1, fontMetrics().lineSpacing());
}

int TEditor::VisibleRowCount() const
{
    return std::max(1, viewport()->height() / RowHeight());
}

bool TEditor::IsRowVisible(int row) const
{
    return row >= TopRow() && row < TopRow() + VisibleRowCount();
}

void TEditor::SetCommentColor(int value)
{
    commentColor_ = value;
    viewport()->update();
}

void TEditor::SetIntColor(int value)
{
    intColor_ = value;
    viewport()->update();
}

void TEditor::SetReserveColor(int value)
{
    reserveColor_ = value;
    viewport()->update();
}

void TEditor::ScheduleSync()
{
    if (syncPending_)
        return;
    syncPending_ = true;
    QMetaObject::invokeMethod(this, &TEditor::SyncScrollBar, Qt::QueuedConnection);
}

void TEditor::SyncScrollBar()
{
    syncPending_ = false;
    syncing_ = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, MaxTopRow());
    bar->setPageStep(VisibleRowCount());
    bar->setValue(topRow_);
    syncing_ = false;
    viewport()->update();
}

void TEditor::ScrollBarMoved(int value)
{
    if (syncing_ || value == topRow_)
        return;
    topRow_ = value;
    viewport()->update();
}

QColor TEditor::ClassColor(TLogTokenClass kind) const
{
    switch (kind) {
    case TLogTokenClass::Comment:
        return ColorFromValue(commentColor_);
    case TLogTokenClass::Number:
        return ColorFromValue(intColor_);
    case TLogTokenClass::Reserved:
        return ColorFromValue(reserveColor_);
    case TLogTokenClass::String:
    case TLogTokenClass::Url:
        return ColorFromValue(LogColor::ActiveCaption);
    case TLogTokenClass::Mail:
    case TLogTokenClass::Text:
        break;
    }
    return ColorFromValue(LogColor::WindowText);
}

void TEditor::PaintRow(QPainter& painter, const QString& text, int y) const
{
    const QFont normal = font();
    QFont bold = normal;
    bold.setBold(true);
    const int baseline = y + fontMetrics().ascent();
    int x = 2;
    for (const TLogSpan& span : ClassifyLogLine(text)) {
        const QString part = text.mid(span.start, span.length);
        const bool isBold = span.kind == TLogTokenClass::Reserved;
        painter.setFont(isBold ? bold : normal);
        painter.setPen(ClassColor(span.kind));
        painter.drawText(x, baseline, part);
        x += painter.fontMetrics().horizontalAdvance(part);
        if (x > viewport()->width())
            break;
    }
}

void TEditor::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const int rowHeight = RowHeight();
    const int last = std::min(lines_.Count(), TopRow() + VisibleRowCount() + 1);
    for (int row = TopRow(), y = 0; row < last; ++row, y += rowHeight)
        PaintRow(painter, DisplayText(lines_.At(row)), y);
}

void TEditor::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    SetTopRow(topRow_);
}

void TEditor::wheelEvent(QWheelEvent* event)
{
    const bool down = event->angleDelta().y() <= 0;
    SetTopRow(TopRow() + (down ? WheelStepRows : -WheelStepRows));
    event->accept();
}
