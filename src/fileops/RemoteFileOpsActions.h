#pragma once
#include "settings/ActionEnabling.h"

// The remote file operations' share of the action enabling: making directories, the listing
// and SITE commands need a session; viewing and renaming a selected file, deleting any
// selected row.
void EnableRemoteFileOpsActions(const TEnablingFacts& facts, const TActionSwitch& actions);
