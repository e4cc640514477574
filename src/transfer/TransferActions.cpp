#include "transfer/TransferActions.h"

void EnableTransferActions(const TEnablingFacts& facts, const TActionSwitch& actions)
{
    actions.Enable({"aUploadAll", "aTransformAndUploadAll", "aDownloadAll"}, facts.connected);

    const bool localRow = facts.local != TSelectedKind::None;
    actions.Enable({"aUpload", "aTransformAndUpload"}, localRow && facts.connected);
    actions.Enable({"aUploadAppend"}, facts.local == TSelectedKind::File && facts.connected);

    // aTransformAndDownload follows aDownload, as on the local side.
    actions.Enable({"aDownload", "aDownloadRestore", "aTransformAndDownload"}, facts.remote != TSelectedKind::None);
}
