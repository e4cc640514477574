#pragma once
#include <QKeySequence>
#include <QLineEdit>

// The hot-key box: shows the key last pressed in it with its modifiers. A key pressed without
// any modifier is taken with Ctrl; Backspace or Delete alone empties the box; Escape alone is
// left to the dialog.
class THotKeyBox : public QLineEdit {
    Q_OBJECT
public:
    explicit THotKeyBox(QWidget* parent = nullptr);

    const QKeySequence& HotKey() const { return hotKey_; }
    void SetHotKey(const QKeySequence& key);

protected:
    bool event(QEvent* event) override;  // Tab and Backtab are keys here, not focus moves
    void keyPressEvent(QKeyEvent* event) override;

private:
    QKeySequence hotKey_;
};
