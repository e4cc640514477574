#pragma once
#include "settings/ActionEnabling.h"

// The remote pane's share of the action enabling: its commands need a session.
void EnableRemotePaneActions(const TEnablingFacts& facts, const TActionSwitch& actions);
