#include "fileops/RemoteFileOpsActions.h"

void EnableRemoteFileOpsActions(const TEnablingFacts& facts, const TActionSwitch& actions)
{
    actions.Enable({"aRemoteMkDir", "aRemoteDetail", "aChmod"}, facts.connected);
    actions.Enable({"aRemoteFileView", "aRemoteFileName"}, facts.remote == TSelectedKind::File);
    actions.Enable({"aRemoteFileDelete"}, facts.remote != TSelectedKind::None);
}
