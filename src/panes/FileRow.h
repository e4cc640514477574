#pragma once
#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// Icon indexes of FileImageList.
enum TFileIcon { fiFolder = 0, fiText = 1, fiProgram = 2, fiOther = 3, fiPicture = 4 };

// One row of a file list view, local or remote.
struct TFileRow {
    QString caption;
    // 0 size text, 1 date text, 2 attribute text, 3 kind key ("0" directory, "1" file).
    std::array<QString, 4> subItems;
    int icon = fiOther;
    // Remote rows: the name's bytes as the server listed them, which every command on the row
    // sends; the caption is only their display.
    QByteArray nameBytes = {};
    // The instant the row's time names, in seconds since the epoch, where it is known to the
    // second (local files, machine listings in UTC); otherwise only the text tells it, at the
    // text's precision.
    std::optional<qint64> exactTime = {};
    // Remote rows: the size the listing gave, none where it gave none.
    std::optional<qint64> listedSize = {};

    bool IsFolder() const { return subItems[3] == QLatin1String("0"); }
};
