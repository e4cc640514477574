#include "OptionRecord.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

using T = OptionType;
using P = OptionPair;
constexpr bool Current = true;
constexpr bool Fixed = false;
constexpr int SystemActiveCaption = -2147483646;

OptionKey Int(const char* name, P pair, bool current, int value)
{
    return {name, T::Integer, pair, current, value, "", value};
}
OptionKey Bool(const char* name, P pair, bool value)
{
    return {name, T::Boolean, pair, Fixed, value ? 1 : 0, "", value ? 1 : 0};
}
OptionKey Text(const char* name, P pair, bool current, const char* value)
{
    return {name, T::String, pair, current, 0, value, 0};
}
OptionKey Colour(const char* name, int windowDefault)
{
    return {name, T::Colour, P::Both, Fixed, windowDefault, "", SystemActiveCaption};
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

const std::vector<OptionKey>& OptionTable()
{
    static const std::vector<OptionKey> table = {
        Int("iMainFormLeft", P::Window, Current, 0),
        Int("iMainFormTop", P::Window, Current, 0),
        Int("iMainFormHeight", P::Window, Current, 547),
        Int("iMainFormWidth", P::Window, Current, 726),
        Int("iLocalSysGroupBoxWidth", P::Window, Current, 360),
        Int("iPanelLMHeight", P::Window, Current, 107),
        Int("iPanelRUHeitht", P::Window, Current, 107),
        Int("ieeLog", P::Window, Current, 61),
        Int("iHeaderToolBarAlign", P::WindowDialogReadsOnly, Current, 1),
        Int("iLocalSysToolBarAlign", P::WindowDialogReadsOnly, Current, 4),
        Int("iRemoteSysToolBarAlign", P::WindowDialogReadsOnly, Current, 3),
        Bool("bReport", P::Window, true),
        Bool("bList", P::Window, false),
        Bool("bSmallIcon", P::Window, false),
        Bool("bASCII", P::Window, false),
        Bool("bBinary", P::Window, false),
        Bool("bAuto", P::Window, true),
        Text("LocalMask", P::Window, Fixed, "*.*"),
        Text("RemoteMask", P::Window, Fixed, ""),
        Text("asApplication", P::Window, Current, "xdg-open"),
        Text("asInitialDirectory", P::Window, Current, ""),
        Colour("iCommentColor", 32768),
        Colour("iIntColor", 128),
        Colour("iReserveColor", 255),
        Int("iMaxLog", P::BothWindowReadsOnly, Current, 500),
        Int("iMaxFileLog", P::BothWindowReadsOnly, Current, 500),
        Int("iFileListSort", P::BothWindowReadsOnly, Fixed, 0),
        Int("iFileNameAfterTransfer", P::BothWindowReadsOnly, Fixed, 0),
        Int("iOnLocalDblClick", P::BothWindowReadsOnly, Fixed, 2),
        Int("iOnRemoteDblClick", P::BothWindowReadsOnly, Fixed, 2),
        Bool("bNoDisconnect", P::BothWindowReadsOnly, false),
        Bool("bShowTransactionDlg", P::BothWindowReadsOnly, true),
        Bool("bCompareTimeStamp", P::BothWindowReadsOnly, false),
        Bool("bRetrieveRemoteTimeStamp", P::BothWindowReadsOnly, false),
        Bool("bMirroringAtUploadAll", P::BothWindowReadsOnly, false),
        Bool("bMirrorPreview", P::BothWindowReadsOnly, true),
        Int("iTransferConnections", P::BothWindowReadsOnly, Current, 1),
        Bool("bFlatBtn", P::BothWindowReadsOnly, true),
        Bool("bListBtn", P::BothWindowReadsOnly, false),
        Bool("bDrawImage", P::BothWindowReadsOnly, true),
        Bool("bShowCaption", P::BothWindowReadsOnly, false),
        Bool("bShowToolBar", P::BothWindowReadsOnly, true),
        Bool("bConnectDlgOnStart", P::Dialog, true),
        Bool("bSaveConfig", P::Dialog, true),
    };
    return table;
}

const OptionKey& FindOption(std::string_view name)
{
    const auto& table = OptionTable();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&](const OptionKey& key) { return SameName(key.name, name); });
    if (it == table.end())
        throw std::out_of_range("unknown option key " + std::string(name));
    return *it;
}

bool WrittenBySaveSettings(const OptionKey& key)
{
    return key.pair == P::Window || key.pair == P::WindowDialogReadsOnly || key.pair == P::Both;
}

bool ReadByLoadSettings(const OptionKey& key)
{
    return key.pair != P::Dialog;
}

bool WrittenByOptionsDialog(const OptionKey& key)
{
    return key.pair == P::Both || key.pair == P::BothWindowReadsOnly || key.pair == P::Dialog;
}

bool ReadByOptionsDialog(const OptionKey& key)
{
    return key.pair != P::Window;
}
