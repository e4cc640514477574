#include "log/Editor.h"
#include "support/RunEventsUntil.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <chrono>

namespace {

void Mouse(TEditor& editor, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), editor.viewport()->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(editor.viewport(), &event);
}

void CtrlKey(TEditor& editor, int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::ControlModifier);
    QApplication::sendEvent(&editor, &event);
}

TEST(Editor, TopRowCaretAndSelectionStayWithinTheLinesAsTheBarMovesAndLinesGo)
{
    TEditor editor;
    editor.resize(400, 61);
    editor.show();
    QApplication::processEvents();
    for (int i = 0; i < 60; ++i)
        editor.AppendLine(QStringLiteral("line %1").arg(i));
    editor.SetTopRow(1000);
    EXPECT_EQ(editor.TopRow(), 60 - editor.VisibleRowCount());
    editor.SetTopRow(-3);
    EXPECT_EQ(editor.TopRow(), 0);

    QApplication::processEvents();
    QScrollBar* bar = editor.verticalScrollBar();
    bar->setValue(33);
    EXPECT_EQ(editor.TopRow(), 33);
    editor.DeleteFirstLine();
    EXPECT_EQ(editor.TopRow(), 32);
    for (int i = 0; i < 49; ++i)
        editor.DeleteFirstLine();
    EXPECT_EQ(editor.TopRow(), 0);  // row 33 went with the deleted lines
    // The bar follows lines that go with the spacing of appended ones.
    EXPECT_TRUE(RunEventsUntil([&] { return bar->maximum() == std::max(0, 10 - editor.VisibleRowCount()); }));
    EXPECT_EQ(bar->value(), 0);

    for (int i = 0; i < 12; ++i)  // more than are left
        editor.DeleteFirstLine();
    EXPECT_EQ(editor.LineCount(), 0);
    editor.CaretToEnd();
    EXPECT_EQ(editor.CaretLine(), 0);
    EXPECT_EQ(editor.CaretColumn(), 0);

    // A selection by drag or Ctrl+A is copied and outlives only its own lines.
    editor.AppendLine(QStringLiteral("<< USER anonymous"));
    editor.AppendLine(QStringLiteral("MMMMMMMM"));
    const int row = editor.RowHeight();
    const QPoint start(1, row / 2);                                   // before line 0's first character
    const QPoint end(editor.viewport()->width() - 2, row + row / 2); // after the end of line 1
    Mouse(editor, QEvent::MouseButtonPress, start, Qt::LeftButton);
    Mouse(editor, QEvent::MouseMove, end, Qt::LeftButton);
    Mouse(editor, QEvent::MouseButtonRelease, end, Qt::NoButton);
    EXPECT_EQ(editor.SelectedText(), QStringLiteral("<< USER anonymous\nMMMMMMMM"));
    CtrlKey(editor, Qt::Key_C);
    EXPECT_EQ(QApplication::clipboard()->text(), editor.SelectedText());

    Mouse(editor, QEvent::MouseButtonPress, QPoint(1, row + row / 2), Qt::LeftButton);
    const int charWidth = QFontMetrics(editor.font()).horizontalAdvance(u'M');
    Mouse(editor, QEvent::MouseMove, QPoint(2 + 3 * charWidth + 1, row + row / 2), Qt::LeftButton);
    EXPECT_EQ(editor.SelectedText(), QStringLiteral("MMM"));
    editor.DeleteFirstLine();
    EXPECT_EQ(editor.SelectedText(), QStringLiteral("MMM"));
    editor.DeleteFirstLine();
    EXPECT_FALSE(editor.HasSelection());

    editor.AppendLine(QStringLiteral("a"));
    editor.AppendLine(QStringLiteral("bc"));
    CtrlKey(editor, Qt::Key_A);
    EXPECT_EQ(editor.SelectedText(), QStringLiteral("a\nbc"));
}

// A log fed a line on every turn of the event loop, as a transfer's dialogue does, is painted
// about ten times a second, not on every turn, and ends showing its last line. Paints are
// counted against the time the feeding took, so a slow machine only makes the bound looser.
TEST(Editor, LinesAppendedOnEveryTurnArePaintedTenTimesASecondAndTheLastShows)
{
    struct TPaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } count;
    TEditor editor;
    editor.resize(400, 61);
    editor.show();
    QApplication::processEvents();
    editor.viewport()->installEventFilter(&count);
    const auto start = std::chrono::steady_clock::now();
    int lines = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300)) {
        editor.AppendLine(QStringLiteral("line %1").arg(lines++));
        editor.FollowEnd();
        QApplication::processEvents();
    }
    const auto fed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_GT(lines, 50);
    // One a spacing, the first at once, and the one the window's first showing may still owe.
    EXPECT_LE(count.paints, fed.count() / 100 + 3) << lines << " lines in " << fed.count() << " ms";
    QScrollBar* bar = editor.verticalScrollBar();
    EXPECT_TRUE(RunEventsUntil([&] { return bar->maximum() == lines - editor.VisibleRowCount(); }));
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(editor.TopRow(), lines - editor.VisibleRowCount());
}

}  // namespace
