#pragma once
#include "service/Command.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

struct TFileEntry;

class QWidget;
class TUserDialogs;

// One selected row of a file list as the file operations see it.
struct TFileOpRow {
    QString name;
    bool folder = false;
    // Remote rows: the name's bytes as the server listed them, which every command sends.
    QByteArray nameBytes = {};
    // Remote rows: the size the listing gave, none where it gave none.
    std::optional<qint64> listedSize = {};
};

// The rows of listed entries: their names, kinds, bytes and listed sizes.
QList<TFileOpRow> FileOpRows(const std::vector<TFileEntry>& entries);

// Renames a row on its side; an error it raises ends the command.
using TRenameRow = std::function<TTask<>(const TFileOpRow& row, const QString& newName)>;

enum class TLetterCase { Upper, Lower };

// What the local and the remote file operations do alike: the notices, the name dialog's
// commands with their questions, the delete questions and the viewer start. The sides differ
// only in how a row is renamed and what follows.
class TFileOpSteps {
public:
    enum class TNotice { SelectFile, SelectFileOrFolder };

    TFileOpSteps(QWidget& owner, TUserDialogs& dialogs);

    // Shows the notice when there are no rows.
    bool NoticeIfEmpty(const QList<TFileOpRow>& rows, TNotice notice) const;
    // The name the user gives a new directory, nothing unless the dialog ended with OK.
    std::optional<QString> AskNewDirectoryName(const QString& currentName) const;
    // The question before a directory is created; shown is its path or name.
    bool ConfirmCreateDirectory(const QString& shown) const;
    // The name dialog and the rename question for each row in turn; a dialog not ended with OK
    // or a Cancel answer ends the command. folderTexts gives folder rows the directory texts.
    // True when the user answered Yes at least once.
    TTask<bool> RenameRows(QList<TFileOpRow> rows, bool folderTexts, TRenameRow rename) const;
    // One dialog for the extension, then the rename question for each file row.
    TTask<bool> ChangeExtensions(QList<TFileOpRow> rows, TRenameRow rename) const;
    // The case question for each row, renaming to the whole name in that case.
    TTask<bool> ChangeCase(QList<TFileOpRow> rows, TLetterCase letterCase, TRenameRow rename) const;
    // Both delete questions; true when both were answered Yes.
    bool ConfirmDelete() const;
    // Starts the viewer on path; when it cannot be started, the notice and then reconfigure.
    void StartViewerOrReconfigure(const QString& viewer, const QString& path,
                                  const std::function<void()>& reconfigure) const;

private:
    enum class TStep { Next, Stop };
    // The rename question; renames on Yes, which also sets changed.
    TTask<TStep> ConfirmRename(const TFileOpRow& row, const QString& newName, const TRenameRow& rename,
                               bool& changed) const;

    QWidget& owner_;
    TUserDialogs& dialogs_;
};
