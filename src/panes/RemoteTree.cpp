#include "panes/RemoteTree.h"

#include "panes/FileImageList.h"
#include "service/RemoteNames.h"

#include <QTreeWidget>

namespace {

constexpr int NameBytesRole = Qt::UserRole;

QIcon ClosedFolder()
{
    static const QIcon icon = ThemedIcon("folder", QStyle::SP_DirClosedIcon);
    return icon;
}

}  // namespace

TRemoteTree::TRemoteTree(QTreeWidget& tree, const TNameCodec& codec) : tree_(tree), codec_(codec) {}

QTreeWidgetItem* TRemoteTree::MakeNode(const QByteArray& name) const
{
    auto* node = new QTreeWidgetItem;
    node->setText(0, ShownName(codec_, name));
    node->setData(0, NameBytesRole, name);
    node->setIcon(0, ClosedFolder());
    return node;
}

QTreeWidgetItem* TRemoteTree::AddNode(QTreeWidgetItem* parent, const QByteArray& name) const
{
    QTreeWidgetItem* node = MakeNode(name);
    if (parent)
        parent->addChild(node);
    else
        tree_.addTopLevelItem(node);
    return node;
}

void TRemoteTree::Build(const QByteArray& path)
{
    static const QIcon open = ThemedIcon("folder-open", QStyle::SP_DirOpenIcon);
    tree_.setUpdatesEnabled(false);
    Clear();
    chain_.push_back(AddNode(nullptr, {}));
    for (const QByteArray& segment : path.split('/')) {
        if (!segment.isEmpty())
            chain_.push_back(AddNode(chain_.back(), segment));
    }
    tree_.expandAll();
    current_ = chain_.back();
    current_->setIcon(0, open);
    tree_.setUpdatesEnabled(true);
}

void TRemoteTree::AddSubdirectories(const std::vector<QByteArray>& names)
{
    if (!current_ || names.empty())
        return;
    // Adding to a sorted tree one by one re-sorts each time; one batch sorts once.
    tree_.setUpdatesEnabled(false);
    tree_.setSortingEnabled(false);
    QList<QTreeWidgetItem*> nodes;
    nodes.reserve(qsizetype(names.size()));
    for (const QByteArray& name : names)
        nodes.append(MakeNode(name));
    current_->addChildren(nodes);
    current_->setExpanded(true);
    tree_.setSortingEnabled(true);
    tree_.setUpdatesEnabled(true);
}

void TRemoteTree::Clear()
{
    tree_.clear();
    chain_.clear();
    current_ = nullptr;
}

QByteArray TRemoteTree::NodePath(const QTreeWidgetItem& node)
{
    if (!node.parent())
        return "/";
    QByteArray path;
    for (const QTreeWidgetItem* step = &node; step->parent(); step = step->parent())
        path.prepend('/' + step->data(0, NameBytesRole).toByteArray());
    return path;
}

QByteArray TRemoteTree::SubdirectoryPath(const QByteArray& name) const
{
    if (!current_ || !current_->parent())
        return '/' + name;
    return NodePath(*current_) + '/' + name;
}
