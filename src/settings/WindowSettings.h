#pragma once
#include <QRect>
#include <QString>

// The options that live as fields of the main window and that other subsystems read.
struct TWindowOptions {
    int iMaxLog = 500;
    int iMaxFileLog = 500;
    int iFileListSort = 0;
    int iFileNameAfterTransfer = 0;
    int iOnLocalDblClick = 2;
    int iOnRemoteDblClick = 2;
    bool bShowTransactionDlg = true;
    bool bCompareTimeStamp = false;
    bool bRetrieveRemoteTimeStamp = false;
    bool bMirroringAtUploadAll = false;
    // A mirroring upload shows its plan and waits for the user's OK.
    bool bMirrorPreview = true;
    // Extra connections for transfers; 1 transfers over the session's own connection.
    int iTransferConnections = 1;
    QString asApplication = QStringLiteral("xdg-open");
    QString asInitialDirectory;
};

// iTransferConnections as read: 1 to 8, a value outside as the nearest bound.
constexpr int MaxTransferConnections = 8;
int TransferConnections(int value);

enum class TViewStyle { Report, List, SmallIcon };
enum class TTransferChoice { ASCII, Binary, Auto };

// The check marks of the Option menu's selectors, which are also the actions' checked states.
enum class TCheckMark { Report, List, SmallIcon, TypeASCII, TypeBinary, TypeAuto };
enum class TToolBarId { Header, LocalSys, RemoteSys };
enum class TLogColorClass { Comment, Int, Reserve };

// What SaveSettings/LoadSettings see of the main window: its controls' properties and fields.
class TSettingsWindow {
public:
    virtual ~TSettingsWindow() = default;

    virtual QRect FormBounds() const = 0;
    virtual void SetFormBounds(const QRect& bounds) = 0;
    virtual int LocalSysGroupBoxWidth() const = 0;
    virtual void SetLocalSysGroupBoxWidth(int width) = 0;
    virtual int PanelLMHeight() const = 0;
    virtual void SetPanelLMHeight(int height) = 0;
    virtual int PanelRUHeight() const = 0;
    virtual void SetPanelRUHeight(int height) = 0;
    virtual int LogHeight() const = 0;
    virtual void SetLogHeight(int height) = 0;
    // Dock edges: 1 top, 2 bottom, 3 left, 4 right.
    virtual int ToolBarAlign(TToolBarId bar) const = 0;
    virtual void SetToolBarAlign(TToolBarId bar, int edge) = 0;

    virtual bool Checked(TCheckMark mark) const = 0;
    virtual void SetChecked(TCheckMark mark, bool checked) = 0;

    virtual QString LocalMask() const = 0;
    virtual void SetLocalMask(const QString& mask) = 0;
    virtual QString RemoteMask() const = 0;
    virtual void SetRemoteMask(const QString& mask) = 0;

    virtual TWindowOptions& Options() = 0;
    virtual const TWindowOptions& Options() const = 0;
    virtual QString LocalDirectory() const = 0;
    virtual void SetLocalDirectory(const QString& path) = 0;

    virtual int LogColor(TLogColorClass kind) const = 0;
    virtual void SetLogColor(TLogColorClass kind, int value) = 0;

    virtual void SetKeepAliveEnabled(bool enabled) = 0;

    // Toolbar look.
    virtual bool HeaderFlat() const = 0;
    virtual void SetHeaderFlat(bool flat) = 0;
    virtual void SetPaneToolBarsFlat(bool flat) = 0;
    virtual void SetHeaderCaptionsBesideImages(bool beside) = 0;
    virtual void RemoveHeaderImages() = 0;
    // Gives the header toolbar its images back (the options dialog's image check box).
    virtual void RestoreHeaderImages() = 0;
    virtual void SetHeaderShowCaptions(bool show) = 0;
    virtual bool HeaderVisible() const = 0;
    virtual void SetHeaderVisible(bool visible) = 0;
    virtual void SetPaneToolBarsVisible(bool visible) = 0;
    virtual void SetToolBarButtonWidth(int width) = 0;

    virtual void ShowViewStyle(TViewStyle style) = 0;
    virtual void ShowTransferMode(TTransferChoice mode) = 0;
};

// Writes the window keys to the section of the settings file at iniPath, in the fixed order.
// Throws EIniWriteError when the file cannot be written.
void SaveSettings(const QString& iniPath, const QString& section, const TSettingsWindow& window);
// Reads every key the window uses from the section and applies it, in the fixed order.
void LoadSettings(const QString& iniPath, const QString& section, TSettingsWindow& window);
