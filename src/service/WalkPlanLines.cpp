#include "service/WalkPlanLines.h"

namespace {

QString Joined(const QString& prefix, const QString& name)
{
    return prefix.isEmpty() ? name : prefix + u'/' + name;
}

void AddLevel(const TLevelPlan& level, const QString& prefix, std::vector<TPlanLine>& lines)
{
    for (const TFileEntry& file : level.deletions)
        lines.push_back({.kind = TPlanLineKind::Delete, .path = Joined(prefix, file.name), .size = file.size});
    for (const TEntryDecision& decision : level.entries) {
        const QString path = Joined(prefix, decision.entry.name);
        if (decision.action == TEntryAction::Skip) {
            lines.push_back({.kind = TPlanLineKind::Skip, .reason = decision.reason, .path = path, .size = decision.entry.size});
        } else if (decision.action == TEntryAction::Send) {
            lines.push_back({.kind = TPlanLineKind::Send, .reason = decision.reason, .path = path, .size = decision.entry.size});
        } else {
            if (!decision.targetExists)
                lines.push_back({.kind = TPlanLineKind::MakeFolder, .path = path});
            for (const TLevelPlan& inside : decision.inside)
                AddLevel(inside, path, lines);
        }
    }
}

}  // namespace

std::vector<TPlanLine> PlanLines(const TWalkPlan& plan)
{
    std::vector<TPlanLine> lines;
    AddLevel(plan.root, QString(), lines);
    return lines;
}

TPlanCounts CountPlan(const std::vector<TPlanLine>& lines)
{
    TPlanCounts counts;
    for (const TPlanLine& line : lines) {
        switch (line.kind) {
        case TPlanLineKind::MakeFolder:
            ++counts.foldersToMake;
            break;
        case TPlanLineKind::Send:
            ++counts.filesToSend;
            counts.bytesToSend += line.size;
            break;
        case TPlanLineKind::Skip:
            ++counts.skipped;
            break;
        case TPlanLineKind::Delete:
            ++counts.deletions;
            counts.bytesToDelete += line.size;
            break;
        }
    }
    return counts;
}
