#pragma once
// Panes that are only what the transfers ask of them, for the transfers tested without the window.
#include "service/FileEntry.h"
#include "transfer/TransferPanes.h"

#include <QStringList>

#include <vector>

inline TFileEntry FileNamed(const QString& name)
{
    TFileEntry entry;
    entry.name = name;
    entry.nameBytes = name.toUtf8();
    entry.kind = TEntryKind::File;
    return entry;
}

class TestPanes : public TTransferPanes {
public:
    std::vector<TFileEntry> SelectedLocalRows() const override { return local; }
    std::vector<TFileEntry> SelectedRemoteRows() const override { return remote; }
    QString LocalFolder() const override { return folder; }
    QString LocalDirText() const override { return folder; }
    QString RemoteDirText() const override { return QStringLiteral("/"); }
    QString ProfileName() const override { return QStringLiteral("test"); }
    QString LocalMaskText() const override { return QStringLiteral("*"); }
    QString RemoteMaskText() const override { return QString(); }
    void RefreshLocal() override { relisted << QStringLiteral("local"); }
    void FillLocalList() override { relisted << QStringLiteral("local files"); }
    void RefreshRemote() override { relisted << QStringLiteral("remote"); }
    TTask<> ListRemote() override
    {
        relisted << QStringLiteral("remote listed");
        co_return;
    }

    std::vector<TFileEntry> local;
    std::vector<TFileEntry> remote;
    QString folder;
    QStringList relisted;
};
