#pragma once
#include <QObject>
#include <QString>

#include <functional>

class QAbstractItemView;

// Lets a file list accept rows dragged from the other pane's list, recognised by their MIME
// format, while canDrop holds; a drop runs drop.
class TPaneDropTarget : public QObject {
public:
    TPaneDropTarget(QAbstractItemView& view, QString acceptedFormat, std::function<bool()> canDrop,
                    std::function<void()> drop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString acceptedFormat_;
    std::function<bool()> canDrop_;
    std::function<void()> drop_;
};

// The formats of rows dragged out of the local and the remote file list.
inline constexpr char LocalRowsFormat[] = "application/x-marlux-local-rows";
inline constexpr char RemoteRowsFormat[] = "application/x-marlux-remote-rows";
