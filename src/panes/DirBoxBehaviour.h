#pragma once
#include <QObject>

#include <functional>

class QComboBox;

// The directory box of a pane: Enter goes to the typed directory, Up and Down walk the
// history, typing completes from the history, and the drop-down shows at most 20 rows.
// lastDirBoxKey is the key last pressed in either pane's box (0 when consumed).
class TDirBoxBehaviour : public QObject {
public:
    TDirBoxBehaviour(QComboBox& box, int& lastDirBoxKey, std::function<void()> refresh);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key is consumed.
    bool KeyDown(int key);
    void WalkDroppedDownList(int key, int position);
    void Change();
    // The first entry from position from on that begins with typed, ignoring case; -1 if none.
    int FindPrefix(const QString& typed, int from) const;
    void Select(int index);
    bool CompleteFrom(int index, const QString& typed);
    void FitDropDownRows();

    QComboBox& box_;
    int& lastDirBoxKey_;
    std::function<void()> refresh_;
};
