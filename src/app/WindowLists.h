#pragma once
#include "settings/WindowState.h"

#include <string>

class QComboBox;

// The lists the window keeps in program files between runs: the extension lists, the items of
// the two mask boxes and the local directory history.
class TWindowLists {
public:
    struct Sources {
        std::string appDir;
        // Where the local directory history lives.
        std::string lstDir;
        TExtensionLists& extensions;
        QComboBox& localMaskBox;
        QComboBox& remoteMaskBox;
        QComboBox& localDirBox;
    };

    explicit TWindowLists(Sources sources) : sources_(std::move(sources)) {}

    // The text, skip and no-delete extensions; the image extensions come from the decoders.
    void LoadExtensions();
    // The boxes' drop-down items, from the files that exist; their texts stay.
    void LoadBoxItems();
    // Each list to its file.
    void Save() const;

private:
    Sources sources_;
};
