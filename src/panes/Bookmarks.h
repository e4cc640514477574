#pragma once
#include <QString>

class QComboBox;
class QWidget;
class TUserDialogs;

// The bookmark commands: the editor over the local or the remote directory box's history.
class TBookmarks {
public:
    struct Sources {
        QWidget& window;
        TUserDialogs& dialogs;
        const QComboBox& profileNameBox;
        QComboBox& localDirBox;
        QComboBox& remoteDirBox;
    };

    explicit TBookmarks(Sources sources) : sources_(sources) {}

    void aLocalBookmarkExecute();
    void aRemoteBookmarkExecute();
    // "Local" or "Remote": the list the editor works on.
    const QString& BookmarkSide() const { return bookmarkSide_; }

private:
    void EditBookmarks(const QString& side, const QString& captionSuffix);

    Sources sources_;
    QString bookmarkSide_;
};
