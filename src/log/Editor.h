#pragma once
#include "log/LineRing.h"
#include "log/LogSyntax.h"

#include <QAbstractScrollArea>
#include <QString>

class QPainter;

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

    // Caret: a line and a column; CaretToEnd puts it after the last character of the text.
    int CaretLine() const { return caretLine_; }
    int CaretColumn() const { return caretColumn_; }
    void CaretToEnd();
    void ScrollCaretIntoView();

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

    int RowHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int MaxTopRow() const;
    // The scroll bar follows topRow_ once control returns to the event loop, so a burst of
    // appends costs no scroll-bar or repaint work per line.
    void ScheduleSync();
    void SyncScrollBar();
    void ScrollBarMoved(int value);
    QColor ClassColor(TLogTokenClass kind) const;
    void PaintRow(QPainter& painter, const QString& text, int y) const;

    TLineRing lines_;
    int topRow_ = 0;
    bool syncPending_ = false;
    bool syncing_ = false;
    int caretLine_ = 0;
    int caretColumn_ = 0;
    int commentColor_;
    int intColor_;
    int reserveColor_;
};
