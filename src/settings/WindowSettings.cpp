#include "settings/WindowSettings.h"

#include "platform/IniFile.h"
#include "settings/OptionRecord.h"

#include <algorithm>

namespace {

// Collects the keys in order and writes them in one locked replace, so a second running copy
// never sees half of them.
class TSectionWriter {
public:
    void Integer(const char* key, int value) { entries_.emplace_back(key, std::to_string(value)); }
    void Bool(const char* key, bool value) { entries_.emplace_back(key, value ? "1" : "0"); }
    void String(const char* key, const QString& value) { entries_.emplace_back(key, value.toStdString()); }
    void WriteTo(const QString& path, const QString& section) const
    {
        TIniFile(path.toStdString()).WriteStrings(section.toStdString(), entries_);
    }

private:
    std::vector<std::pair<std::string, std::string>> entries_;
};

class TSectionReader {
public:
    TSectionReader(const QString& path, const QString& section)
        : ini_(path.toStdString()), section_(section.toStdString()) {}
    int Integer(const char* key, int current) const { return ini_.ReadInteger(section_, key, current); }
    bool Bool(const char* key, bool current) const { return ini_.ReadBool(section_, key, current); }
    QString String(const char* key, const QString& current) const
    {
        return QString::fromStdString(ini_.ReadString(section_, key, current.toStdString()));
    }
    // Keys whose default is fixed by the option record rather than the value in force.
    int Integer(const char* key) const { return Integer(key, FindOption(key).intDefault); }
    bool Bool(const char* key) const { return Bool(key, FindOption(key).intDefault != 0); }
    QString String(const char* key) const { return String(key, QString::fromUtf8(FindOption(key).textDefault)); }

private:
    TIniFile ini_;
    std::string section_;
};

struct TCheckKey {
    TCheckMark mark;
    const char* key;
};

constexpr TCheckKey CheckKeys[] = {
    {TCheckMark::Report, "bReport"},       {TCheckMark::List, "bList"},
    {TCheckMark::SmallIcon, "bSmallIcon"}, {TCheckMark::TypeASCII, "bASCII"},
    {TCheckMark::TypeBinary, "bBinary"},   {TCheckMark::TypeAuto, "bAuto"},
};

}  // namespace

void SaveSettings(const QString& iniPath, const QString& section, const TSettingsWindow& window)
{
    TSectionWriter out;
    const QRect bounds = window.FormBounds();
    out.Integer("iMainFormLeft", bounds.left());
    out.Integer("iMainFormTop", bounds.top());
    out.Integer("iMainFormHeight", bounds.height());
    out.Integer("iMainFormWidth", bounds.width());
    out.Integer("iLocalSysGroupBoxWidth", window.LocalSysGroupBoxWidth());
    out.Integer("iPanelLMHeight", window.PanelLMHeight());
    out.Integer("iPanelRUHeitht", window.PanelRUHeight());
    out.Integer("iLocalSysToolBarAlign", window.ToolBarAlign(TToolBarId::LocalSys));
    out.Integer("iRemoteSysToolBarAlign", window.ToolBarAlign(TToolBarId::RemoteSys));
    out.Integer("iHeaderToolBarAlign", window.ToolBarAlign(TToolBarId::Header));
    for (const TCheckKey& check : CheckKeys)
        out.Bool(check.key, window.Checked(check.mark));
    out.String("LocalMask", window.LocalMask());
    out.String("RemoteMask", window.RemoteMask());
    out.String("asApplication", window.Options().asApplication);
    out.String("asInitialDirectory", window.Options().asInitialDirectory);
    out.Integer("ieeLog", window.LogHeight());
    out.Integer("iCommentColor", window.LogColor(TLogColorClass::Comment));
    out.Integer("iIntColor", window.LogColor(TLogColorClass::Int));
    out.Integer("iReserveColor", window.LogColor(TLogColorClass::Reserve));
    out.WriteTo(iniPath, section);
}

void LoadSettings(const QString& iniPath, const QString& section, TSettingsWindow& window)
{
    const TSectionReader in(iniPath, section);
    TWindowOptions& options = window.Options();

    // The check marks of the Option menu.
    for (const TCheckKey& check : CheckKeys)
        window.SetChecked(check.mark, in.Bool(check.key));

    const QRect bounds = window.FormBounds();
    const int left = in.Integer("iMainFormLeft", bounds.left());
    const int top = in.Integer("iMainFormTop", bounds.top());
    const int height = in.Integer("iMainFormHeight", bounds.height());
    const int width = in.Integer("iMainFormWidth", bounds.width());
    window.SetFormBounds(QRect(left, top, width, height));

    options.iMaxLog = in.Integer("iMaxLog", options.iMaxLog);
    options.iMaxFileLog = in.Integer("iMaxFileLog", options.iMaxFileLog);
    options.iFileListSort = in.Integer("iFileListSort");
    options.iFileNameAfterTransfer = in.Integer("iFileNameAfterTransfer");

    window.SetLocalSysGroupBoxWidth(in.Integer("iLocalSysGroupBoxWidth", window.LocalSysGroupBoxWidth()));
    window.SetPanelLMHeight(in.Integer("iPanelLMHeight", window.PanelLMHeight()));
    window.SetPanelRUHeight(in.Integer("iPanelRUHeitht", window.PanelRUHeight()));
    window.SetLogHeight(in.Integer("ieeLog", window.LogHeight()));

    window.SetToolBarAlign(TToolBarId::Header, in.Integer("iHeaderToolBarAlign", window.ToolBarAlign(TToolBarId::Header)));
    window.SetToolBarAlign(TToolBarId::LocalSys,
                           in.Integer("iLocalSysToolBarAlign", window.ToolBarAlign(TToolBarId::LocalSys)));
    window.SetToolBarAlign(TToolBarId::RemoteSys,
                           in.Integer("iRemoteSysToolBarAlign", window.ToolBarAlign(TToolBarId::RemoteSys)));

    window.SetKeepAliveEnabled(in.Bool("bNoDisconnect"));
    options.bShowTransactionDlg = in.Bool("bShowTransactionDlg");
    options.iOnLocalDblClick = in.Integer("iOnLocalDblClick");
    options.iOnRemoteDblClick = in.Integer("iOnRemoteDblClick");
    options.bCompareTimeStamp = in.Bool("bCompareTimeStamp");
    options.bRetrieveRemoteTimeStamp = in.Bool("bRetrieveRemoteTimeStamp");
    options.bMirroringAtUploadAll = in.Bool("bMirroringAtUploadAll");
    options.bMirrorPreview = in.Bool("bMirrorPreview");
    options.iTransferConnections = TransferConnections(in.Integer("iTransferConnections"));

    // Toolbar look: the pane toolbars follow the header toolbar; images are only ever removed.
    window.SetHeaderFlat(in.Bool("bFlatBtn"));
    window.SetPaneToolBarsFlat(window.HeaderFlat());
    window.SetHeaderCaptionsBesideImages(in.Bool("bListBtn"));
    if (!in.Bool("bDrawImage"))
        window.RemoveHeaderImages();
    window.SetHeaderShowCaptions(in.Bool("bShowCaption"));
    window.SetHeaderVisible(in.Bool("bShowToolBar"));
    window.SetPaneToolBarsVisible(window.HeaderVisible());

    // The actions' checked states, defaulting to the marks just set.
    for (const TCheckKey& check : CheckKeys)
        window.SetChecked(check.mark, in.Bool(check.key, window.Checked(check.mark)));

    window.SetLocalMask(in.String("LocalMask"));
    window.SetRemoteMask(in.String("RemoteMask"));
    options.asApplication = in.String("asApplication", options.asApplication);
    options.asInitialDirectory = in.String("asInitialDirectory", window.LocalDirectory());

    window.SetLogColor(TLogColorClass::Comment, in.Integer("iCommentColor"));
    window.SetLogColor(TLogColorClass::Int, in.Integer("iIntColor"));
    window.SetLogColor(TLogColorClass::Reserve, in.Integer("iReserveColor"));

    if (!options.asInitialDirectory.isEmpty())
        window.SetLocalDirectory(options.asInitialDirectory);

    if (window.Checked(TCheckMark::Report))
        window.ShowViewStyle(TViewStyle::Report);
    else if (window.Checked(TCheckMark::List))
        window.ShowViewStyle(TViewStyle::List);
    else
        window.ShowViewStyle(TViewStyle::SmallIcon);

    if (window.Checked(TCheckMark::TypeASCII))
        window.ShowTransferMode(TTransferChoice::ASCII);
    else if (window.Checked(TCheckMark::TypeBinary))
        window.ShowTransferMode(TTransferChoice::Binary);
    else
        window.ShowTransferMode(TTransferChoice::Auto);

    window.SetToolBarButtonWidth(10);
}

int TransferConnections(int value)
{
    return std::clamp(value, 1, MaxTransferConnections);
}
