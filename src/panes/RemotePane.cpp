#include "panes/RemotePane.h"

#include "ftp/IdException.h"
#include "panes/ComboItems.h"
#include "panes/FileKinds.h"
#include "panes/RemoteFileRow.h"
#include "service/RemoteNames.h"
#include "service/SessionService.h"
#include "settings/BusyDisplay.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QStringList>
#include <QTreeWidget>

#include <vector>

namespace {

std::string ToStdString(const QByteArray& bytes)
{
    return {bytes.constData(), size_t(bytes.size())};
}

QByteArray ToByteArray(const std::string& bytes)
{
    return {bytes.data(), qsizetype(bytes.size())};
}

bool IsDotEntry(std::string_view name)
{
    return name == "." || name == "..";
}

// A typed path as the server gets it: absolute, without a closing "/".
QByteArray AbsolutePath(QByteArray path)
{
    if (!path.startsWith('/'))
        path.prepend('/');
    if (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

}  // namespace

TRemotePane::TRemotePane(TFileListModel& model, Sources sources)
    : model_(model), sources_(std::move(sources)), tree_(sources_.tree, sources_.service.NameCodec())
{
}

void TRemotePane::EnableActions(const TEnablingFacts& facts, const TActionSwitch& actions)
{
    actions.Enable({"aRemoteDirectoryUp", "aRemoteRefresh", "aRemoteBookmark"}, facts.connected);
}

std::vector<QByteArray> TRemotePane::PathCandidates(const QString& text) const
{
    if (const auto known = serverPaths_.constFind(text); known != serverPaths_.constEnd())
        return {AbsolutePath(*known)};
    std::vector<QByteArray> candidates;
    try {
        for (const std::string& form : sources_.service.NameCodec().ServerNameCandidates(text.toStdString()))
            candidates.push_back(AbsolutePath(QByteArray::fromStdString(form)));
    } catch (const ENameNotEncodable& error) {
        ThrowUnsendable(text, error);
    }
    return candidates;
}

void TRemotePane::ShowPath(const QByteArray& path)
{
    const TNameCodec& codec = sources_.service.NameCodec();
    const QString text = ShownName(codec, path);
    if (codec.TryServerName(text.toStdString()) != path.toStdString())
        serverPaths_.insert(text, path);
    sources_.dirBox.setEditText(text);
}

TTask<QByteArray> TRemotePane::ChangeToFolder(std::vector<QByteArray> candidates)
{
    // CWD to the first candidate the server accepts; the last refusal is raised. The server's
    // form of the path wins; a reply without one leaves the path that worked.
    const QByteArray path = co_await sources_.service.Run([&candidates](TRemoteEngine& engine) {
        if (candidates.empty())
            return ToByteArray(engine.CurrentDirectory());
        for (size_t index = 0;; ++index) {
            try {
                engine.ChangeDirectory(ToStdString(candidates[index]));
                break;
            } catch (const EIdProtocolReplyError&) {
                if (index + 1 == candidates.size())
                    throw;
            }
        }
        const QByteArray current = ToByteArray(engine.CurrentDirectory());
        return current.isEmpty() ? candidates[0] : current;
    });
    co_return path;
}

TTask<> TRemotePane::Refresh()
{
    TSessionService& service = sources_.service;
    if (sources_.dirBox.currentText().isEmpty()) {
        const QByteArray current = co_await ChangeToFolder({});
        ShowPath(current);
    }
    // A path the connection has not listed yet may be in any encoding until its names tell.
    std::vector<QByteArray> candidates = PathCandidates(sources_.dirBox.currentText());
    ShowPath(candidates.front());
    const QByteArray path = co_await ChangeToFolder(std::move(candidates));
    ShowPath(path);
    tree_.Build(path);

    sources_.busy.EnterBusyState();
    const std::string mask = ServerName(service.NameCodec(), sources_.maskBox.currentText().trimmed());
    co_await service.Run([&mask](TRemoteEngine& engine) {
        engine.ListDirectory(mask);
    });
    // The listing may have taught the connection its name encoding: the path shows in it too.
    if (ShownName(service.NameCodec(), path) != sources_.dirBox.currentText()) {
        ShowPath(path);
        tree_.Build(path);
    }

    FillRemoteFileList();
    AddRemoteDirHistory();
    SortAndFitRemoteList();
}

void TRemotePane::aRemoteRefreshExecute()
{
    Launch(Refresh());
}

void TRemotePane::FillRemoteFileList()
{
    // Read between jobs: the listing stays as the last one left it.
    const TIdFTPListItems& listing = sources_.service.Engine().Listing();
    TRemoteRowFactory factory(sources_.service.NameCodec(), ToQStringList(sources_.imageExtensions),
                              ToQStringList(sources_.textExtensions));
    std::vector<TFileRow> rows;
    rows.reserve(listing.Count());
    std::vector<QByteArray> subdirectories;
    for (const TIdFTPListItem& item : listing) {
        if (IsDotEntry(item.Name()))
            continue;
        rows.push_back(factory.Row(item));
        if (item.Kind == ikDirectory)
            subdirectories.push_back(rows.back().entry.nameBytes);
    }
    tree_.AddSubdirectories(subdirectories);
    model_.SetRows(std::move(rows));
}

void TRemotePane::AddRemoteDirHistory()
{
    AddItemIfAbsent(sources_.dirBox, sources_.dirBox.currentText(), Qt::CaseSensitive);
}

void TRemotePane::SortAndFitRemoteList()
{
    sources_.view.setUpdatesEnabled(false);
    sources_.fitColumns();
    sorter_.SortAfterFill(model_, sources_.options.iFileListSort);
    sources_.view.setUpdatesEnabled(true);
}

void TRemotePane::OpenRemoteSubdirectory(const QByteArray& name)
{
    ShowPath(tree_.SubdirectoryPath(name));
    aRemoteRefreshExecute();
}

void TRemotePane::RemoteSysTreeViewClick(const QTreeWidgetItem& node)
{
    // The current node changes only when the listing succeeds, so a refused directory leaves
    // the sub-directory paths of the directory still shown.
    ShowPath(TRemoteTree::NodePath(node));
    aRemoteRefreshExecute();
}

void TRemotePane::aRemoteDirectoryUpExecute()
{
    Launch(DirectoryUp());
}

TTask<> TRemotePane::DirectoryUp()
{
    const QByteArray parent = co_await sources_.service.Run([](TRemoteEngine& engine) {
        engine.ChangeToParent();
        return ToByteArray(engine.CurrentDirectory());
    });
    ShowPath(parent);
    co_await Refresh();
}

void TRemotePane::aRemoteSelectAllExecute()
{
    sources_.view.selectAll();
}

void TRemotePane::RemoteMaskBoxExit()
{
    RememberMask(sources_.maskBox);
}

void TRemotePane::ClearListing()
{
    model_.SetRows({});
    tree_.Clear();
    serverPaths_.clear();
}
