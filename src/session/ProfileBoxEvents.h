#pragma once
#include <QObject>

#include <functional>

class QComboBox;
class QLineEdit;

// The main window's profile box: a change of its text by the user, typed or chosen from the
// list, and a double click run the handler. Enter is neither; the box's own Enter would also
// add the typed name to its list, which holds only the profiles saved at start-up.
class TProfileBoxEvents : public QObject {
public:
    TProfileBoxEvents(QComboBox& box, std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit& edit_;
    std::function<void()> handler_;
};
