#pragma once
#include <string_view>
#include <vector>

// Every key of the settings file's option record, in one table that drives the window's
// SaveSettings/LoadSettings and the options dialog, so the two cannot drift apart.

enum class OptionType { Integer, Boolean, String, Colour };

// Which routine pair writes and reads a key:
//   Window                 SaveSettings writes it, LoadSettings reads it
//   WindowDialogReadsOnly  as Window; the options dialog reads it too
//   Both                   both pairs write and read it
//   BothWindowReadsOnly    the dialog writes and reads it; LoadSettings reads it too
//   Dialog                 only the dialog pair
enum class OptionPair { Window, WindowDialogReadsOnly, Both, BothWindowReadsOnly, Dialog };

struct OptionKey {
    const char* name;
    OptionType type;
    OptionPair pair;
    bool defaultIsCurrent;     // the default is the value in force when the key is read
    int intDefault;            // integer, boolean and colour keys: the default (or the value of a fresh window)
    const char* textDefault;   // string keys: the default (or the value of a fresh window)
    int dialogIntDefault;      // the default the options dialog uses (differs for the colours)
};

const std::vector<OptionKey>& OptionTable();
// The key of that name, compared without regard to case; throws std::out_of_range otherwise.
const OptionKey& FindOption(std::string_view name);

bool WrittenBySaveSettings(const OptionKey& key);
bool ReadByLoadSettings(const OptionKey& key);
bool WrittenByOptionsDialog(const OptionKey& key);
bool ReadByOptionsDialog(const OptionKey& key);
