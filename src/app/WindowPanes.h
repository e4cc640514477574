#pragma once
#include "transfer/TransferPanes.h"

class TLocalPane;
class TRemotePane;
struct TWindowControls;

// The window's two panes as the transfers see them.
class TWindowPanes : public TTransferPanes {
public:
    TWindowPanes(const TWindowControls& controls, TLocalPane& local, TRemotePane& remote)
        : controls_(controls), local_(local), remote_(remote)
    {
    }

    std::vector<TFileEntry> SelectedLocalRows() const override;
    std::vector<TFileEntry> SelectedRemoteRows() const override;
    QString LocalFolder() const override;
    QString LocalDirText() const override;
    QString RemoteDirText() const override;
    QString ProfileName() const override;
    QString LocalMaskText() const override;
    QString RemoteMaskText() const override;
    void RefreshLocal() override;
    void FillLocalList() override;
    void RefreshRemote() override;
    TTask<> ListRemote() override;

private:
    const TWindowControls& controls_;
    TLocalPane& local_;
    TRemotePane& remote_;
};
