#pragma once
#include "service/FolderWalk.h"

#include <QString>

#include <cstdint>
#include <vector>

// A walk plan read as a list: one line per action, in the order the run takes them.
enum class TPlanLineKind : std::uint8_t { MakeFolder, Send, Skip, Delete };

struct TPlanLine {
    TPlanLineKind kind = TPlanLineKind::Skip;
    TEntryReason reason = TEntryReason::None;
    // From the walk's start, "/" between the levels; a deletion's as the receiving side names it.
    QString path = {};
    std::int64_t size = 0;
};

struct TPlanCounts {
    int foldersToMake = 0;
    int filesToSend = 0;
    int skipped = 0;
    int deletions = 0;
    std::int64_t bytesToSend = 0;
    std::int64_t bytesToDelete = 0;
};

std::vector<TPlanLine> PlanLines(const TWalkPlan& plan);
TPlanCounts CountPlan(const std::vector<TPlanLine>& lines);
