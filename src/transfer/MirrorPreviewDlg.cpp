#include "transfer/MirrorPreviewDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString ActionText(TPlanLineKind kind)
{
    switch (kind) {
    case TPlanLineKind::MakeFolder:
        return QStringLiteral("フォルダー作成");
    case TPlanLineKind::Send:
        return QStringLiteral("送信");
    case TPlanLineKind::Skip:
        return QStringLiteral("スキップ");
    case TPlanLineKind::Delete:
        return QStringLiteral("削除");
    }
    return {};
}

QString ReasonShown(TEntryReason reason)
{
    switch (reason) {
    case TEntryReason::None:
        return {};
    case TEntryReason::New:
        return QStringLiteral("新規");
    case TEntryReason::Newer:
        return QStringLiteral("新しい");
    case TEntryReason::DifferentSize:
        return QStringLiteral("サイズが違う");
    case TEntryReason::TimeUnknown:
        return QStringLiteral("時刻不明");
    case TEntryReason::Replace:
        return QStringLiteral("上書き（比較なし）");
    case TEntryReason::SkipList:
        return QStringLiteral("スキップリスト");
    case TEntryReason::Older:
        return QStringLiteral("古い");
    case TEntryReason::Same:
        return QStringLiteral("同じ");
    case TEntryReason::UnsafeName:
        return QStringLiteral("使えない名前");
    case TEntryReason::Loop:
        return QStringLiteral("上の階層と同じフォルダー");
    }
    return {};
}

QString Bytes(std::int64_t bytes)
{
    return QLocale::system().toString(qlonglong(bytes)) + QStringLiteral(" バイト");
}

QString CountsText(const TPlanCounts& counts)
{
    return QStringLiteral("作成するフォルダー: %1\n送信するファイル: %2（%3）\nスキップするファイル: %4\n"
                          "削除するファイル: %5（%6）")
        .arg(counts.foldersToMake)
        .arg(counts.filesToSend)
        .arg(Bytes(counts.bytesToSend))
        .arg(counts.skipped)
        .arg(counts.deletions)
        .arg(Bytes(counts.bytesToDelete));
}

}  // namespace

TMirrorPreviewDlg::TMirrorPreviewDlg(QWidget* owner, const std::vector<TPlanLine>& lines) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("ミラーリングの確認"));
    const TPlanCounts counts = CountPlan(lines);
    auto* summary = new QLabel(CountsText(counts));
    summary->setObjectName(QStringLiteral("lbCounts"));

    auto* deletions = new QListWidget;
    deletions->setObjectName(QStringLiteral("DeletionList"));
    auto* plan = new QTreeWidget;
    plan->setObjectName(QStringLiteral("PlanList"));
    plan->setRootIsDecorated(false);
    plan->setHeaderLabels({QStringLiteral("操作"), QStringLiteral("理由"), QStringLiteral("サイズ"), QStringLiteral("パス")});
    QList<QTreeWidgetItem*> rows;
    rows.reserve(int(lines.size()));
    for (const TPlanLine& line : lines) {
        const QString size = line.kind == TPlanLineKind::MakeFolder ? QString() : QLocale::system().toString(qlonglong(line.size));
        auto* row = new QTreeWidgetItem({ActionText(line.kind), ReasonShown(line.reason), size, line.path});
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        rows.append(row);
        if (line.kind == TPlanLineKind::Delete)
            deletions->addItem(line.path);
    }
    plan->addTopLevelItems(rows);
    plan->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(new QLabel(QStringLiteral("削除されるファイル:")));
    layout->addWidget(deletions, 1);
    layout->addWidget(new QLabel(QStringLiteral("すべての操作:")));
    layout->addWidget(plan, 2);
    layout->addWidget(buttons);
    resize(720, 560);
}
