#pragma once
#include "app/WindowLayout.h"
#include "settings/WindowSettings.h"

#include <functional>

class QTimer;

// The window's side of SaveSettings/LoadSettings: the controls' properties and the option
// fields the settings file stores.
class TWindowSettingsAdapter : public TSettingsWindow {
public:
    struct Sources {
        QMainWindow& form;
        const TWindowControls& controls;
        TWindowOptions& options;
        TActionLookup action;
        QTimer& keepAliveTimer;
        // Enters a local directory (the local pane); one that cannot be entered is left alone.
        std::function<void(const QString&)> changeLocalDirectory;
        // The local pane's directory.
        std::function<QString()> localDirectory;
    };

    explicit TWindowSettingsAdapter(Sources sources);

    QRect FormBounds() const override;
    void SetFormBounds(const QRect& bounds) override;
    int LocalSysGroupBoxWidth() const override;
    void SetLocalSysGroupBoxWidth(int width) override;
    int PanelLMHeight() const override;
    void SetPanelLMHeight(int height) override;
    int PanelRUHeight() const override;
    void SetPanelRUHeight(int height) override;
    int LogHeight() const override;
    void SetLogHeight(int height) override;
    int ToolBarAlign(TToolBarId bar) const override;
    void SetToolBarAlign(TToolBarId bar, int edge) override;
    bool Checked(TCheckMark mark) const override;
    void SetChecked(TCheckMark mark, bool checked) override;
    QString LocalMask() const override;
    void SetLocalMask(const QString& mask) override;
    QString RemoteMask() const override;
    void SetRemoteMask(const QString& mask) override;
    TWindowOptions& Options() override { return sources_.options; }
    const TWindowOptions& Options() const override { return sources_.options; }
    QString LocalDirectory() const override;
    void SetLocalDirectory(const QString& path) override;
    int LogColor(TLogColorClass kind) const override;
    void SetLogColor(TLogColorClass kind, int value) override;
    void SetKeepAliveEnabled(bool enabled) override;
    bool HeaderFlat() const override { return headerFlat_; }
    void SetHeaderFlat(bool flat) override;
    void SetPaneToolBarsFlat(bool flat) override;
    void SetHeaderCaptionsBesideImages(bool beside) override;
    void RemoveHeaderImages() override;
    void RestoreHeaderImages() override;
    void SetHeaderShowCaptions(bool show) override;
    bool HeaderVisible() const override;
    void SetHeaderVisible(bool visible) override;
    void SetPaneToolBarsVisible(bool visible) override;
    void SetToolBarButtonWidth(int width) override;
    void ShowViewStyle(TViewStyle style) override;
    void ShowTransferMode(TTransferChoice mode) override;

    bool HeaderImagesShown() const { return headerImages_; }
    TViewStyle CurrentViewStyle() const { return viewStyle_; }
    // The checked transfer mode shown again on ModeBtn and the header buttons restyled, after
    // the drop-down buttons took their actions' captions.
    void RefreshHeaderButtons();

private:
    void ApplyHeaderButtonStyle();

    Sources sources_;
    const TWindowControls& c_;
    int headerAlign_ = 1;
    int localSysAlign_ = 4;
    int remoteSysAlign_ = 3;
    bool headerFlat_ = true;
    bool headerImages_ = true;
    bool headerCaptions_ = false;
    bool headerCaptionsBeside_ = false;
    TViewStyle viewStyle_ = TViewStyle::Report;
};
