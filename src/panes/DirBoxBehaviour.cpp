#include "panes/DirBoxBehaviour.h"

#include "panes/ComboItems.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

TDirBoxBehaviour::TDirBoxBehaviour(QComboBox& box, int& lastDirBoxKey, std::function<void()> refresh)
    : QObject(&box), box_(box), lastDirBoxKey_(lastDirBoxKey), refresh_(std::move(refresh))
{
    // Enter and completion are ours; the box's own would add entries and complete differently.
    box_.setInsertPolicy(QComboBox::NoInsert);
    box_.setCompleter(nullptr);
    // The box keeps the focus and hands keys to its edit by a direct call, past any filter
    // there, so its own keys are watched too; the edit's are for keys sent to the edit itself.
    box_.installEventFilter(this);
    box_.lineEdit()->installEventFilter(this);
    box_.view()->installEventFilter(this);
    connect(box_.lineEdit(), &QLineEdit::textEdited, this, [this] { Change(); });
    QAbstractItemModel* model = box_.model();
    connect(model, &QAbstractItemModel::rowsInserted, this, [this] { FitDropDownRows(); });
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { FitDropDownRows(); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { FitDropDownRows(); });
    FitDropDownRows();
}

bool TDirBoxBehaviour::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const bool consumed = KeyDown(static_cast<QKeyEvent*>(event)->key());
    lastDirBoxKey_ = consumed ? 0 : static_cast<QKeyEvent*>(event)->key();
    return consumed;
}

bool TDirBoxBehaviour::KeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Enter in the dropped-down list takes the entry under the highlight, wherever the mouse
        // moved it.
        const QModelIndex highlighted = box_.view()->currentIndex();
        if (box_.view()->isVisible() && highlighted.isValid())
            box_.setCurrentIndex(highlighted.row());
        box_.hidePopup();
        refresh_();
        return true;
    }
    if (key != Qt::Key_Down && !(key == Qt::Key_Up && box_.count() > 0))
        return false;
    const int position = FindItemIgnoringCase(box_, box_.currentText());
    if (!box_.view()->isVisible()) {
        box_.showPopup();
        if (position != -1)
            Select(position);
    } else {
        WalkDroppedDownList(key, position);
    }
    return true;
}

void TDirBoxBehaviour::WalkDroppedDownList(int key, int position)
{
    const int last = box_.count() - 1;
    const int selected = box_.currentIndex();
    if (key == Qt::Key_Down) {
        if (position < last)
            Select(position + 1);
        else if (selected == last)
            Select(0);
    } else if (selected <= 0) {
        Select(last);
    } else {
        Select(position > 0 ? position - 1 : -1);
    }
}

void TDirBoxBehaviour::Select(int index)
{
    box_.setCurrentIndex(index);
    box_.view()->setCurrentIndex(box_.model()->index(index, 0));
}

void TDirBoxBehaviour::Change()
{
    const int key = lastDirBoxKey_;
    lastDirBoxKey_ = 0;
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete)
        return;
    QLineEdit& edit = *box_.lineEdit();
    const QString typed = edit.text();
    const int caret = edit.hasSelectedText() ? edit.selectionStart() : edit.cursorPosition();
    if (caret != typed.size())
        return;
    const int hit = FindPrefix(typed, 0);
    if (hit < 0 || CompleteFrom(hit, typed))
        return;
    // One more try past an entry that matched only when letter case is ignored.
    if (const int next = FindPrefix(typed, hit + 1); next >= 0)
        CompleteFrom(next, typed);
}

int TDirBoxBehaviour::FindPrefix(const QString& typed, int from) const
{
    for (int index = from; index < box_.count(); ++index)
        if (box_.itemText(index).startsWith(typed, Qt::CaseInsensitive))
            return index;
    return -1;
}

bool TDirBoxBehaviour::CompleteFrom(int index, const QString& typed)
{
    const QString entry = box_.itemText(index);
    if (!entry.startsWith(typed, Qt::CaseSensitive))
        return false;
    box_.setCurrentIndex(index);
    box_.lineEdit()->setSelection(int(typed.size()), int(entry.size() - typed.size()));
    return true;
}

void TDirBoxBehaviour::FitDropDownRows()
{
    const int entries = box_.count();
    box_.setMaxVisibleItems(entries < 21 ? std::max(entries - 1, 0) : 20);
}
