#pragma once
#include "settings/ActionEnabling.h"

// The transfers' share of the action enabling: uploads need a session and a selected local
// row (append only a file), downloads a selected remote row, the "all" commands a session.
void EnableTransferActions(const TEnablingFacts& facts, const TActionSwitch& actions);
