#include "app/WindowSettingsAdapter.h"

#include "log/Editor.h"
#include "panes/FileViewStack.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

enum Edge { Top = 1, Right = 4 };
constexpr int DefaultHeaderEdge = Top;
constexpr int DefaultLocalEdge = 4;
constexpr int DefaultRemoteEdge = 3;

// Edges outside 1 to 4 fall back to the edge of a fresh window.
int ValidEdge(int edge, int fallback)
{
    return edge >= Top && edge <= Right ? edge : fallback;
}

const char* CheckActionName(TCheckMark mark)
{
    switch (mark) {
    case TCheckMark::Report: return "aReport";
    case TCheckMark::List: return "aList";
    case TCheckMark::SmallIcon: return "aSmallIcon";
    case TCheckMark::TypeASCII: return "aTypeASCII";
    case TCheckMark::TypeBinary: return "aTypeBinary";
    case TCheckMark::TypeAuto: return "aTypeAuto";
    }
    return "";
}

void SetButtonsFlat(QToolBar* bar, bool flat)
{
    for (QToolButton* button : bar->findChildren<QToolButton*>())
        button->setAutoRaise(flat);
}

}  // namespace

TWindowSettingsAdapter::TWindowSettingsAdapter(Sources sources) : sources_(std::move(sources)), c_(sources_.controls) {}

QRect TWindowSettingsAdapter::FormBounds() const
{
    return sources_.form.geometry();
}

void TWindowSettingsAdapter::SetFormBounds(const QRect& bounds)
{
    sources_.form.setGeometry(bounds);
}

int TWindowSettingsAdapter::LocalSysGroupBoxWidth() const
{
    return c_.MainPanel->sizes().value(0);
}

void TWindowSettingsAdapter::SetLocalSysGroupBoxWidth(int width)
{
    SetSplitterPart(*c_.MainPanel, 0, width);
}

int TWindowSettingsAdapter::PanelLMHeight() const
{
    return c_.LocalSplitter->sizes().value(0);
}

void TWindowSettingsAdapter::SetPanelLMHeight(int height)
{
    SetSplitterPart(*c_.LocalSplitter, 0, height);
}

int TWindowSettingsAdapter::PanelRUHeight() const
{
    return c_.RemoteSplitter->sizes().value(0);
}

void TWindowSettingsAdapter::SetPanelRUHeight(int height)
{
    SetSplitterPart(*c_.RemoteSplitter, 0, height);
}

int TWindowSettingsAdapter::LogHeight() const
{
    return c_.MainSplitter->sizes().value(1);
}

void TWindowSettingsAdapter::SetLogHeight(int height)
{
    SetSplitterPart(*c_.MainSplitter, 1, height);
}

int TWindowSettingsAdapter::ToolBarAlign(TToolBarId bar) const
{
    switch (bar) {
    case TToolBarId::Header: return headerAlign_;
    case TToolBarId::LocalSys: return localSysAlign_;
    case TToolBarId::RemoteSys: return remoteSysAlign_;
    }
    return Top;
}

void TWindowSettingsAdapter::SetToolBarAlign(TToolBarId bar, int edge)
{
    switch (bar) {
    case TToolBarId::Header: {
        headerAlign_ = ValidEdge(edge, DefaultHeaderEdge);
        static constexpr Qt::ToolBarArea areas[] = {Qt::TopToolBarArea, Qt::TopToolBarArea, Qt::BottomToolBarArea,
                                                    Qt::LeftToolBarArea, Qt::RightToolBarArea};
        QMainWindow& form = sources_.form;
        const bool visible = c_.HeaderToolBar->isVisibleTo(&form);
        form.removeToolBar(c_.HeaderToolBar);
        form.addToolBar(areas[headerAlign_], c_.HeaderToolBar);
        c_.HeaderToolBar->setVisible(visible);
        break;
    }
    case TToolBarId::LocalSys:
        localSysAlign_ = ValidEdge(edge, DefaultLocalEdge);
        PlacePaneToolBar(*c_.LocalFileArea, *c_.LocalSysToolBar, *c_.LocalFileListView, localSysAlign_);
        break;
    case TToolBarId::RemoteSys:
        remoteSysAlign_ = ValidEdge(edge, DefaultRemoteEdge);
        PlacePaneToolBar(*c_.RemoteFileArea, *c_.RemoteSysToolBar, *c_.RemoteFileListView, remoteSysAlign_);
        break;
    }
}

bool TWindowSettingsAdapter::Checked(TCheckMark mark) const
{
    return sources_.action(QString::fromLatin1(CheckActionName(mark)))->isChecked();
}

void TWindowSettingsAdapter::SetChecked(TCheckMark mark, bool checked)
{
    sources_.action(QString::fromLatin1(CheckActionName(mark)))->setChecked(checked);
}

QString TWindowSettingsAdapter::LocalMask() const
{
    return c_.LocalMaskBox->currentText();
}

void TWindowSettingsAdapter::SetLocalMask(const QString& mask)
{
    c_.LocalMaskBox->setEditText(mask);
}

QString TWindowSettingsAdapter::RemoteMask() const
{
    return c_.RemoteMaskBox->currentText();
}

void TWindowSettingsAdapter::SetRemoteMask(const QString& mask)
{
    c_.RemoteMaskBox->setEditText(mask);
}

QString TWindowSettingsAdapter::LocalDirectory() const
{
    return sources_.localDirectory();
}

void TWindowSettingsAdapter::SetLocalDirectory(const QString& path)
{
    sources_.changeLocalDirectory(path);
}

int TWindowSettingsAdapter::LogColor(TLogColorClass kind) const
{
    switch (kind) {
    case TLogColorClass::Comment: return c_.eeLog->CommentColor();
    case TLogColorClass::Int: return c_.eeLog->IntColor();
    case TLogColorClass::Reserve: return c_.eeLog->ReserveColor();
    }
    return 0;
}

void TWindowSettingsAdapter::SetLogColor(TLogColorClass kind, int value)
{
    switch (kind) {
    case TLogColorClass::Comment: c_.eeLog->SetCommentColor(value); break;
    case TLogColorClass::Int: c_.eeLog->SetIntColor(value); break;
    case TLogColorClass::Reserve: c_.eeLog->SetReserveColor(value); break;
    }
}

void TWindowSettingsAdapter::SetKeepAliveEnabled(bool enabled)
{
    if (enabled)
        sources_.keepAliveTimer.start();
    else
        sources_.keepAliveTimer.stop();
}

void TWindowSettingsAdapter::SetHeaderFlat(bool flat)
{
    headerFlat_ = flat;
    SetButtonsFlat(c_.HeaderToolBar, flat);
}

void TWindowSettingsAdapter::SetPaneToolBarsFlat(bool flat)
{
    SetButtonsFlat(c_.LocalSysToolBar, flat);
    SetButtonsFlat(c_.RemoteSysToolBar, flat);
}

void TWindowSettingsAdapter::SetHeaderCaptionsBesideImages(bool beside)
{
    headerCaptionsBeside_ = beside;
    ApplyHeaderButtonStyle();
}

void TWindowSettingsAdapter::RemoveHeaderImages()
{
    headerImages_ = false;
    ApplyHeaderButtonStyle();
}

void TWindowSettingsAdapter::RestoreHeaderImages()
{
    headerImages_ = true;
    ApplyHeaderButtonStyle();
}

void TWindowSettingsAdapter::SetHeaderShowCaptions(bool show)
{
    headerCaptions_ = show;
    ApplyHeaderButtonStyle();
}

void TWindowSettingsAdapter::ApplyHeaderButtonStyle()
{
    // Without images the buttons show their captions, so none is ever empty.
    Qt::ToolButtonStyle style = Qt::ToolButtonIconOnly;
    if (!headerImages_)
        style = Qt::ToolButtonTextOnly;
    else if (headerCaptions_)
        style = headerCaptionsBeside_ ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextUnderIcon;
    c_.HeaderToolBar->setToolButtonStyle(style);
}

bool TWindowSettingsAdapter::HeaderVisible() const
{
    return !c_.HeaderToolBar->isHidden();
}

void TWindowSettingsAdapter::SetHeaderVisible(bool visible)
{
    c_.HeaderToolBar->setVisible(visible);
}

void TWindowSettingsAdapter::SetPaneToolBarsVisible(bool visible)
{
    c_.LocalSysToolBar->setVisible(visible);
    c_.RemoteSysToolBar->setVisible(visible);
}

void TWindowSettingsAdapter::SetToolBarButtonWidth(int width)
{
    for (QToolBar* bar : {c_.HeaderToolBar, c_.LocalSysToolBar, c_.RemoteSysToolBar})
        for (QToolButton* button : bar->findChildren<QToolButton*>())
            button->setMinimumWidth(width);
}

void TWindowSettingsAdapter::ShowViewStyle(TViewStyle style)
{
    viewStyle_ = style;
    for (TFileViewStack* views : {c_.LocalFileListView, c_.RemoteFileListView}) {
        views->ShowStyle(style);
        views->FitColumns();
    }
}

void TWindowSettingsAdapter::ShowTransferMode(TTransferChoice mode)
{
    static const QString names[] = {QStringLiteral("ASCII"), QStringLiteral("Binary"), QStringLiteral("Auto")};
    const QString& name = names[static_cast<int>(mode)];
    c_.ModeBtn->setText(name);
    c_.ModeBtn->setToolTip(QStringLiteral("転送モード：") + name);
    c_.ModeBtn->setStatusTip(c_.ModeBtn->toolTip());
    c_.StatusPanels[1]->setText(name);
    c_.HeaderToolBar->update();
}

void TWindowSettingsAdapter::RefreshHeaderButtons()
{
    ShowTransferMode(Checked(TCheckMark::TypeASCII)    ? TTransferChoice::ASCII
                     : Checked(TCheckMark::TypeBinary) ? TTransferChoice::Binary
                                                        : TTransferChoice::Auto);
    ApplyHeaderButtonStyle();
}
