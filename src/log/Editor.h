#pragma once
#include "log/LineRing.h"
#include "log/LogSyntax.h"

#include <QAbstractScrollArea>
#include <QString>
#include <QTimer>

#include <chrono>

class QPainter;

// A place in the text: a line and a character column within it.
struct TTextPos {
    int line = 0;
    int column = 0;
    auto operator<=>(const TTextPos&) const = default;
};

// Read-only, colour-highlighting line view used as the session log pane. Lines live in a
// ring buffer; only the visible rows are highlighted and painted, so appending is cheap even
// when thousands of lines arrive between two repaints.
class TEditor : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TEditor(QWidget* parent = nullptr);

    // Lines.
    int LineCount() const { return lines_.Count(); }
    const QString& Line(int index) const { return lines_.At(index); }
    void AppendLine(QString line);
    void DeleteFirstLine();
    void Clear();
    // Writes every line, each ending in a line break, as UTF-8; throws std::runtime_error on failure.
    void SaveToFile(const QString& path) const;

signals:
    // A line was appended, before any repaint shows it.
    void LineAppended(const QString& line);

public:

    // Caret: a line and a column; CaretToEnd puts it after the last character of the text.
    int CaretLine() const { return caretLine_; }
    int CaretColumn() const { return caretColumn_; }
    void CaretToEnd();
    // The caret to the end, in view: the view follows with the spacing of appended lines.
    void FollowEnd();

    // Scrolling: the first visible row (0-based) and how many rows fit.
    int TopRow() const;
    void SetTopRow(int row);
    int VisibleRowCount() const;
    bool IsRowVisible(int row) const;

    // Colours of the settable classes, as stored values (see LogColor.h).
    int CommentColor() const { return commentColor_; }
    int IntColor() const { return intColor_; }
    int ReserveColor() const { return reserveColor_; }
    void SetCommentColor(int value);
    void SetIntColor(int value);
    void SetReserveColor(int value);

    // Selection by mouse (drag, or Ctrl+A); Ctrl+C copies it to the clipboard.
    bool HasSelection() const { return anchor_ != extent_; }
    QString SelectedText() const;
    void SelectAll();
    void CopySelection() const;
    // The text position under a point of the viewport.
    TTextPos PositionAt(QPoint point) const;

    int RowHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int MaxTopRow() const;
    // The font's line spacing, kept while the font stays: appending a line asks for it several
    // times, and a log line is appended for every chunk of a transfer.
    mutable int rowHeight_ = 0;
    // The scroll bar follows topRow_ once control returns to the event loop, so a burst of
    // appends costs no scroll-bar or repaint work per line.
    void ScheduleSync();
    void SyncScrollBar();
    // Lines can arrive by the hundred a second (the dialogue of several connections): for them
    // the scroll bar and the rows follow at most every LinePaintSpacing (ten a second still show
    // them scroll by), and the last state always shows. Not on every turn of the event loop: the
    // scroll bar is not opaque, so each change of it repaints the whole log beneath it.
    void SyncSpaced();
    // SetTopRow for the appended lines' moves: the view follows with their spacing.
    void SetTopRowSpaced(int row);
    // The top row that keeps the caret in view.
    int TopRowShowingCaret() const;
    void ScrollBarMoved(int value);
    QColor ClassColor(TLogTokenClass kind) const;
    // Paints one row; columns [selBegin, selEnd) are drawn as selected.
    void PaintRow(QPainter& painter, const QString& text, int y, int selBegin, int selEnd) const;
    // The selected columns of a row as [begin, end); empty when the row is not selected.
    std::pair<int, int> SelectedColumns(int row) const;
    void SetSelection(TTextPos anchor, TTextPos extent);

    TLineRing lines_;
    int topRow_ = 0;
    bool syncPending_ = false;
    bool syncing_ = false;
    static constexpr std::chrono::milliseconds LinePaintSpacing{100};
    std::chrono::steady_clock::time_point lastPaint_;
    QTimer spacedSync_;
    TTextPos anchor_;
    TTextPos extent_;
    int caretLine_ = 0;
    int caretColumn_ = 0;
    int commentColor_;
    int intColor_;
    int reserveColor_;
};
