#include "settings/HotKeyBox.h"

#include "settings/ShortcutText.h"

#include <QKeyEvent>

namespace {

bool IsModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
        || key == Qt::Key_AltGr || key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_unknown;
}

}  // namespace

THotKeyBox::THotKeyBox(QWidget* parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void THotKeyBox::SetHotKey(const QKeySequence& key)
{
    hotKey_ = key;
    setText(ShortCutToText(key));
}

bool THotKeyBox::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void THotKeyBox::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    if (IsModifierKey(key)) {
        event->accept();
        return;
    }
    Qt::KeyboardModifiers modifiers = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    // Escape alone still closes the dialog.
    if (modifiers == Qt::NoModifier && key == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    if (key == Qt::Key_Backtab) {
        key = Qt::Key_Tab;
        modifiers |= Qt::ShiftModifier;
    }
    if (modifiers == Qt::NoModifier && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
        SetHotKey({});
    } else {
        if (modifiers == Qt::NoModifier)
            modifiers = Qt::ControlModifier;
        SetHotKey(QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key))));
    }
    event->accept();
}
