#pragma once
#include <QByteArray>

#include <vector>

class QTreeWidget;
class TNameCodec;
class QTreeWidgetItem;

// The remote directory tree: the chain of nodes from the root (empty text) to the current
// directory, and the current directory's sub-directories below its node. Nodes keep their
// names' bytes, so a node's path is what the server listed, whatever the display shows. The
// chain grows with the path; deep directories are not cut off.
class TRemoteTree {
public:
    // Node texts are the names as the codec decodes them.
    TRemoteTree(QTreeWidget& tree, const TNameCodec& codec);

    // BuildRemoteTree: the chain of the path; its last node becomes CurrentDirNode.
    void Build(const QByteArray& path);
    // Adds sub-directory nodes under CurrentDirNode and expands it.
    void AddSubdirectories(const std::vector<QByteArray>& names);
    void Clear();

    // The path of a node: "/" for the root, else its ancestors' and its own names joined by "/".
    static QByteArray NodePath(const QTreeWidgetItem& node);
    // The path of a sub-directory of CurrentDirNode.
    QByteArray SubdirectoryPath(const QByteArray& name) const;
    QTreeWidgetItem* CurrentDirNode() const { return current_; }
    int ChainLength() const { return int(chain_.size()); }

private:
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QByteArray& name) const;

    QTreeWidgetItem* MakeNode(const QByteArray& name) const;

    QTreeWidget& tree_;
    const TNameCodec& codec_;
    std::vector<QTreeWidgetItem*> chain_;
    QTreeWidgetItem* current_ = nullptr;
};
