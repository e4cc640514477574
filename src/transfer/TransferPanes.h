#pragma once
#include "service/Command.h"
#include "service/FileEntry.h"

#include <QString>

#include <vector>

// What the transfers need of the two panes: the rows a command works on, the folders and what
// the boxes show, and the listings after a command.
class TTransferPanes {
public:
    virtual ~TTransferPanes() = default;
    // The selected rows of a list in list order, as the command starts.
    virtual std::vector<TFileEntry> SelectedLocalRows() const = 0;
    virtual std::vector<TFileEntry> SelectedRemoteRows() const = 0;
    // The local pane's folder, where local names are.
    virtual QString LocalFolder() const = 0;
    // The directory boxes' and the profile box's texts, for questions and log lines.
    virtual QString LocalDirText() const = 0;
    virtual QString RemoteDirText() const = 0;
    virtual QString ProfileName() const = 0;
    // The masks as the mask boxes hold them.
    virtual QString LocalMaskText() const = 0;
    virtual QString RemoteMaskText() const = 0;
    // The local pane listed again, from its directory tree or just its file list.
    virtual void RefreshLocal() = 0;
    virtual void FillLocalList() = 0;
    // The remote pane listed again, as a command of its own or awaited.
    virtual void RefreshRemote() = 0;
    virtual TTask<> ListRemote() = 0;
};
