#include "log/Editor.h"

#include "log/LogColor.h"
#include "log/LogSyntax.h"

#include <QEvent>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <stdexcept>

namespace {

constexpr int WheelStepRows = 5;
constexpr int LeftMargin = 2;

QFont SpanFont(const QFont& normal, TLogTokenClass kind)
{
    QFont font = normal;
    font.setBold(kind == TLogTokenClass::Reserved);
    return font;
}

QFont LogFont()
{
    QFont font(QStringLiteral("Noto Sans Mono CJK JP"), 9);
    font.setStyleHint(QFont::Monospace);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(9);
    }
    // Columns of the dialogue line up only in a fixed-pitch font; say so to the font matcher.
    font.setFixedPitch(true);
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
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ColorFromValue(LogColor::ButtonFace));
    pal.setColor(QPalette::Highlight, QColor(0, 0, 128));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    setPalette(pal);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TEditor::ScrollBarMoved);
    spacedSync_.setSingleShot(true);
    spacedSync_.setTimerType(Qt::PreciseTimer);
    connect(&spacedSync_, &QTimer::timeout, this, &TEditor::SyncScrollBar);
    SyncScrollBar();
}

void TEditor::AppendLine(QString line)
{
    lines_.Append(line);
    SyncSpaced();
    emit LineAppended(line);
}

void TEditor::FollowEnd()
{
    CaretToEnd();
    SetTopRowSpaced(TopRowShowingCaret());
}

void TEditor::DeleteFirstLine()
{
    if (lines_.Count() == 0)
        return;
    lines_.RemoveFirst();
    caretLine_ = std::max(0, caretLine_ - 1);
    // A selection follows its text; the part that went with the line is dropped.
    const auto shift = [](TTextPos pos) { return pos.line == 0 ? TTextPos{} : TTextPos{pos.line - 1, pos.column}; };
    anchor_ = shift(anchor_);
    extent_ = shift(extent_);
    // The rows on screen stay where they are: everything moved up by one line.
    SetTopRowSpaced(topRow_ - 1);
}

void TEditor::Clear()
{
    lines_.Clear();
    caretLine_ = 0;
    caretColumn_ = 0;
    anchor_ = extent_ = TTextPos{};
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

int TEditor::TopRowShowingCaret() const
{
    const int top = TopRow();
    const int rows = VisibleRowCount();
    if (caretLine_ < top)
        return caretLine_;
    if (caretLine_ >= top + rows)
        return caretLine_ - rows + 1;
    return top;
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

void TEditor::SetTopRowSpaced(int row)
{
    topRow_ = std::clamp(row, 0, MaxTopRow());
    SyncSpaced();
}

int TEditor::MaxTopRow() const
{
    return std::max(0, lines_.Count() - VisibleRowCount());
}

int TEditor::RowHeight() const
{
    if (rowHeight_ == 0)
        rowHeight_ = std::max(1, fontMetrics().lineSpacing());
    return rowHeight_;
}

void TEditor::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        rowHeight_ = 0;
    QAbstractScrollArea::changeEvent(event);
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

void TEditor::SyncSpaced()
{
    if (syncPending_ || spacedSync_.isActive())
        return;
    const auto sinceLast = std::chrono::steady_clock::now() - lastPaint_;
    spacedSync_.start(sinceLast >= LinePaintSpacing
                          ? std::chrono::milliseconds(0)
                          : std::chrono::duration_cast<std::chrono::milliseconds>(LinePaintSpacing - sinceLast));
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

void TEditor::PaintRow(QPainter& painter, const QString& text, int y, int selBegin, int selEnd) const
{
    const int baseline = y + fontMetrics().ascent();
    const QColor selectionBack = palette().color(QPalette::Highlight);
    const QColor selectionText = palette().color(QPalette::HighlightedText);
    int x = LeftMargin;
    for (const TLogSpan& span : ClassifyLogLine(text)) {
        const QFont font = SpanFont(this->font(), span.kind);
        const QFontMetrics metrics(font);
        painter.setFont(font);
        const int end = span.start + span.length;
        const int cuts[] = {span.start, std::clamp(selBegin, span.start, end), std::clamp(selEnd, span.start, end), end};
        for (int piece = 0; piece < 3; ++piece) {
            if (cuts[piece] >= cuts[piece + 1])
                continue;
            const QString part = text.mid(cuts[piece], cuts[piece + 1] - cuts[piece]);
            const int width = metrics.horizontalAdvance(part);
            const bool selected = piece == 1;
            if (selected)
                painter.fillRect(x, y, width, RowHeight(), selectionBack);
            painter.setPen(selected ? selectionText : ClassColor(span.kind));
            painter.drawText(x, baseline, part);
            x += width;
        }
        if (x > viewport()->width())
            break;
    }
}

void TEditor::paintEvent(QPaintEvent*)
{
    lastPaint_ = std::chrono::steady_clock::now();
    QPainter painter(viewport());
    const int rowHeight = RowHeight();
    const int last = std::min(lines_.Count(), TopRow() + VisibleRowCount() + 1);
    for (int row = TopRow(), y = 0; row < last; ++row, y += rowHeight) {
        const auto [selBegin, selEnd] = SelectedColumns(row);
        PaintRow(painter, DisplayText(lines_.At(row)), y, selBegin, selEnd);
    }
}

std::pair<int, int> TEditor::SelectedColumns(int row) const
{
    const TTextPos begin = std::min(anchor_, extent_);
    const TTextPos end = std::max(anchor_, extent_);
    if (!HasSelection() || row < begin.line || row > end.line)
        return {0, 0};
    return {row == begin.line ? begin.column : 0, row == end.line ? end.column : int(lines_.At(row).size())};
}

void TEditor::SetSelection(TTextPos anchor, TTextPos extent)
{
    anchor_ = anchor;
    extent_ = extent;
    viewport()->update();
}

QString TEditor::SelectedText() const
{
    if (!HasSelection())
        return QString();
    QStringList parts;
    for (int row = std::min(anchor_, extent_).line; row <= std::max(anchor_, extent_).line; ++row) {
        const auto [begin, end] = SelectedColumns(row);
        parts << lines_.At(row).mid(begin, end - begin);
    }
    return parts.join(u'\n');
}

void TEditor::SelectAll()
{
    if (lines_.Count() == 0)
        return;
    SetSelection(TTextPos{}, TTextPos{lines_.Count() - 1, int(lines_.At(lines_.Count() - 1).size())});
}

void TEditor::CopySelection() const
{
    if (HasSelection())
        QApplication::clipboard()->setText(SelectedText());
}

TTextPos TEditor::PositionAt(QPoint point) const
{
    if (lines_.Count() == 0)
        return TTextPos{};
    const int row = point.y() < 0 ? topRow_ - 1 : topRow_ + point.y() / RowHeight();
    const int line = std::clamp(row, 0, lines_.Count() - 1);
    const QString text = DisplayText(lines_.At(line));
    int x = LeftMargin;
    for (const TLogSpan& span : ClassifyLogLine(text)) {
        const QFontMetrics metrics(SpanFont(font(), span.kind));
        for (int column = span.start; column < span.start + span.length; ++column) {
            const int width = metrics.horizontalAdvance(text[column]);
            if (point.x() < x + width / 2)
                return TTextPos{line, column};
            x += width;
        }
    }
    return TTextPos{line, int(text.size())};
}

void TEditor::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    const TTextPos at = PositionAt(event->position().toPoint());
    SetSelection((event->modifiers() & Qt::ShiftModifier) ? anchor_ : at, at);
    event->accept();
}

void TEditor::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return QAbstractScrollArea::mouseMoveEvent(event);
    const QPoint point = event->position().toPoint();
    if (point.y() < 0)
        SetTopRow(topRow_ - 1);
    else if (point.y() >= viewport()->height())
        SetTopRow(topRow_ + 1);
    SetSelection(anchor_, PositionAt(point));
    event->accept();
}

void TEditor::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy))
        CopySelection();
    else if (event->matches(QKeySequence::SelectAll))
        SelectAll();
    else
        return QAbstractScrollArea::keyPressEvent(event);
    event->accept();
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
