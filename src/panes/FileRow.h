#pragma once
#include "service/FileEntry.h"

#include <QString>

// Icon indexes of FileImageList.
enum TFileIcon { fiFolder = 0, fiText = 1, fiProgram = 2, fiOther = 3, fiPicture = 4 };

// One row of a file list view, local or remote: the entry it shows, with what the pane made of
// it once when it listed.
struct TFileRow {
    TFileEntry entry = {};
    // The time as the pane shows it: the local pane to the minute, the remote one as listed.
    QString timeText = {};
    TFileIcon icon = fiOther;
};
