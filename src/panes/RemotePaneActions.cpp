#include "panes/RemotePaneActions.h"

void EnableRemotePaneActions(const TEnablingFacts& facts, const TActionSwitch& actions)
{
    actions.Enable({"aRemoteDirectoryUp", "aRemoteRefresh", "aRemoteBookmark"}, facts.connected);
}
