#include "app/WindowPanes.h"

#include "app/WindowLayout.h"
#include "panes/FileViewStack.h"
#include "panes/LocalPane.h"
#include "panes/RemotePane.h"

#include <QComboBox>

std::vector<TFileEntry> TWindowPanes::SelectedLocalRows() const
{
    return controls_.LocalFileListView->SelectedEntries();
}

std::vector<TFileEntry> TWindowPanes::SelectedRemoteRows() const
{
    return controls_.RemoteFileListView->SelectedEntries();
}

QString TWindowPanes::LocalFolder() const
{
    return local_.Folder();
}

QString TWindowPanes::LocalDirText() const
{
    return controls_.LocalDirBox->currentText();
}

QString TWindowPanes::RemoteDirText() const
{
    return controls_.RemoteDirBox->currentText();
}

QString TWindowPanes::ProfileName() const
{
    return controls_.ProfileNameBox->currentText();
}

QString TWindowPanes::LocalMaskText() const
{
    return controls_.LocalMaskBox->currentText();
}

QString TWindowPanes::RemoteMaskText() const
{
    return controls_.RemoteMaskBox->currentText();
}

void TWindowPanes::RefreshLocal()
{
    local_.aLocalRefreshExecute();
}

void TWindowPanes::FillLocalList()
{
    local_.FillLocalFileList();
}

void TWindowPanes::RefreshRemote()
{
    remote_.aRemoteRefreshExecute();
}

TTask<> TWindowPanes::ListRemote()
{
    return remote_.Refresh();
}
