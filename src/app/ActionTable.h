#pragma once
#include <QString>
#include <vector>

// One user command of ActionList1: the order of the table is the list order.
struct TActionRow {
    const char* name;         // "aUpload"
    const char* caption;      // "アップロード(&U)"
    const char* category;     // the menu it belongs to; empty for aDummy
    const char* shortcut;     // default key, portable text ("Ctrl+U"); empty for none
    bool startsEnabled;
    bool checkable;           // the view-style and transfer-mode selectors
    bool startsChecked;
    int imageIndex;           // index into the toolbar images; -1 for none
    bool usesEngine;          // sends commands to the server (uploads, downloads, remote commands)
};

// All 71 actions in list order.
const std::vector<TActionRow>& ActionTable();

// The hint of an action: its caption without the "(&X)" access-key suffix.
QString ActionHint(const QString& caption);
