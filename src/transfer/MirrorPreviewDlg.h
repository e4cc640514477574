#pragma once
#include "service/WalkPlanLines.h"

#include <QDialog>

#include <vector>

// What a mirroring upload is about to do, before it acts: the counts, the bytes to send, every
// deletion, and the whole plan. OK runs exactly that plan; Cancel does nothing.
class TMirrorPreviewDlg : public QDialog {
public:
    TMirrorPreviewDlg(QWidget* owner, const std::vector<TPlanLine>& lines);
};
