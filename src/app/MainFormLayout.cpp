// The controls of the main window and the properties the settings file stores.
#include "app/MainForm.h"

#include "log/Editor.h"
#include "panes/FileImageList.h"
#include "panes/FileListModel.h"
#include "panes/FileViewStack.h"
#include "panes/PaneDropTarget.h"
#include "panes/LocalPane.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QSplitter>
#include <QStatusBar>
#include <QStorageInfo>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int SplitterWidth = 3;
constexpr int DesignedLocalWidth = 360;
constexpr int DesignedUpperHeight = 107;
constexpr int DesignedLogHeight = 61;
constexpr int PanelWidths[5] = {90, 50, 150, 300, 200};

enum Edge { Top = 1, Bottom = 2, Left = 3, Right = 4 };

// A hint made of a short text, "|" and a long text: the tooltip shows the short part and the
// status bar the long one; a hint without "|" is both.
void SetHint(QWidget* widget, const QString& hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    widget->setToolTip(bar < 0 ? hint : hint.left(bar));
    widget->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

// A status bar panel of a designed width that gives way when the window is narrower, as the
// last panels of a status bar are cut off rather than widening the window.
class TStatusPanel : public QLabel {
public:
    TStatusPanel(int width, bool yields, QWidget* parent) : QLabel(parent), width_(width), yields_(yields)
    {
        setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    }
    QSize sizeHint() const override { return {width_, QLabel::sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {yields_ ? 0 : width_, QLabel::minimumSizeHint().height()}; }

private:
    int width_;
    bool yields_;
};

QSplitter* MakeSplitter(Qt::Orientation orientation, const char* name)
{
    auto* splitter = new QSplitter(orientation);
    splitter->setObjectName(QString::fromLatin1(name));
    splitter->setHandleWidth(SplitterWidth);
    splitter->setChildrenCollapsible(false);
    return splitter;
}

QComboBox* MakeComboBox(const char* name, bool editable)
{
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::InsertAlphabetically);
    // Long items must not widen the panes beyond their designed sizes.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(4);
    return box;
}

// One pane's file list with its model, its icons and the format of rows dragged out of it.
TFileViewStack* MakeFileViews(const char* name, const char* dragFormat)
{
    auto* model = new TFileListModel;
    model->SetIcons(FileImageList());
    model->SetDragFormat(QString::fromLatin1(dragFormat));
    return new TFileViewStack(QString::fromLatin1(name), model);
}

QWidget* Row(std::initializer_list<QWidget*> widgets, QWidget* stretched)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        layout->addWidget(widget, widget == stretched ? 1 : 0);
    return row;
}

QWidget* Column(const char* name, std::initializer_list<QWidget*> widgets, QWidget* stretched)
{
    auto* column = new QWidget;
    column->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (QWidget* widget : widgets)
        layout->addWidget(widget, widget == stretched ? 1 : 0);
    return column;
}

int SplitterPart(const QSplitter* splitter, int index)
{
    return splitter->sizes().value(index);
}

// Gives one part of a two-part splitter the size and the other part the rest.
void SetSplitterPart(QSplitter* splitter, int index, int size)
{
    const QList<int> sizes = splitter->sizes();
    const int total = std::max(sizes.value(0) + sizes.value(1), size + 1);
    const int clamped = std::clamp(size, 1, total - 1);
    splitter->setSizes(index == 0 ? QList<int>{clamped, total - clamped} : QList<int>{total - clamped, clamped});
}

}  // namespace

void TMainForm::BuildLayout()
{
    setObjectName(QStringLiteral("MainForm"));
    setAcceptDrops(true);

    paneSplitter_ = MakeSplitter(Qt::Horizontal, "MainPanel");
    paneSplitter_->addWidget(BuildLocalGroupBox());
    paneSplitter_->addWidget(BuildRemoteGroupBox());
    paneSplitter_->setStretchFactor(0, 0);
    paneSplitter_->setStretchFactor(1, 1);

    eeLog_ = new TEditor;
    eeLog_->setObjectName(QStringLiteral("eeLog"));
    eeLog_->setMinimumHeight(8);
    mainSplitter_ = MakeSplitter(Qt::Vertical, "MainSplitter");
    mainSplitter_->addWidget(paneSplitter_);
    mainSplitter_->addWidget(eeLog_);
    mainSplitter_->setStretchFactor(0, 1);
    mainSplitter_->setStretchFactor(1, 0);
    setCentralWidget(mainSplitter_);

    BuildStatusBar();
}

QWidget* TMainForm::BuildLocalGroupBox()
{
    localDriveBox_ = MakeComboBox("LocalDriveBox", false);
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            localDriveBox_->addItem(volume.rootPath());
    }
    localDriveBox_->model()->sort(0);
    localMaskBox_ = MakeComboBox("LocalMaskBox", true);
    localMaskBox_->addItems({QStringLiteral("*.*"), QStringLiteral("*.css"), QStringLiteral("*.htm*")});
    localMaskBox_->setEditText(QStringLiteral("*.*"));
    SetHint(localMaskBox_, QStringLiteral("デフォルトは\"*.*\"ですべて表示"));
    auto* maskLabel = new QLabel(QStringLiteral("マスク"));
    maskLabel->setObjectName(QStringLiteral("LocalMaskLabel"));
    localDirListBox_ = new QListWidget;
    localDirListBox_->setObjectName(QStringLiteral("LocalDirListBox"));
    SetHint(localDirListBox_, QStringLiteral("|クリックでディレクトリ変更"));
    localDirListBox_->setMinimumHeight(8);
    QWidget* upper = Column("PanelLM", {Row({localDriveBox_, maskLabel, localMaskBox_}, localDriveBox_), localDirListBox_},
                            localDirListBox_);

    localDirBox_ = MakeComboBox("LocalDirBox", true);
    localFileViews_ = MakeFileViews("LocalFileListView", LocalRowsFormat);
    localFileListView_ = &localFileViews_->Report();
    auto* fileArea = new QWidget;
    localFileArea_ = new QBoxLayout(QBoxLayout::LeftToRight, fileArea);
    localFileArea_->setContentsMargins(0, 0, 0, 0);
    localFileArea_->setSpacing(0);
    PlacePaneToolBar(localFileArea_, localSysToolBar_, localFileViews_, Right, Right);
    QWidget* lower = Column("PanelLB", {localDirBox_, fileArea}, fileArea);

    localSplitter_ = MakeSplitter(Qt::Vertical, "LocalSplitter");
    localSplitter_->addWidget(upper);
    localSplitter_->addWidget(lower);
    localSplitter_->setStretchFactor(0, 0);
    localSplitter_->setStretchFactor(1, 1);

    localSysGroupBox_ = new QGroupBox(QStringLiteral("ローカル"));
    localSysGroupBox_->setObjectName(QStringLiteral("LocalSysGroupBox"));
    auto* layout = new QVBoxLayout(localSysGroupBox_);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(localSplitter_);
    return localSysGroupBox_;
}

QWidget* TMainForm::BuildRemoteGroupBox()
{
    profileNameBox_ = MakeComboBox("ProfileNameBox", true);
    SetHint(profileNameBox_, QStringLiteral("ﾀﾞﾌﾞﾙｸﾘｯｸで接続します"));
    remoteMaskBox_ = MakeComboBox("RemoteMaskBox", true);
    remoteMaskBox_->addItems({QString(), QStringLiteral("*.css"), QStringLiteral("*.htm*")});
    remoteMaskBox_->setEditText(QString());
    SetHint(remoteMaskBox_, QStringLiteral("デフォルトは空白ですべて表示"));
    auto* maskLabel = new QLabel(QStringLiteral("マスク"));
    maskLabel->setObjectName(QStringLiteral("RemoteMaskLabel"));
    remoteSysTreeView_ = new QTreeWidget;
    remoteSysTreeView_->setObjectName(QStringLiteral("RemoteSysTreeView"));
    remoteSysTreeView_->setHeaderHidden(true);
    remoteSysTreeView_->setRootIsDecorated(false);
    remoteSysTreeView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    remoteSysTreeView_->setSortingEnabled(true);
    remoteSysTreeView_->sortByColumn(0, Qt::AscendingOrder);
    remoteSysTreeView_->setMinimumHeight(8);
    SetHint(remoteSysTreeView_, QStringLiteral("|クリックでディレクトリ変更"));
    QWidget* upper = Column("PanelRU", {Row({profileNameBox_, maskLabel, remoteMaskBox_}, profileNameBox_), remoteSysTreeView_},
                            remoteSysTreeView_);

    remoteDirBox_ = MakeComboBox("RemoteDirBox", true);
    remoteFileViews_ = MakeFileViews("RemoteFileListView", RemoteRowsFormat);
    remoteFileListView_ = &remoteFileViews_->Report();
    auto* fileArea = new QWidget;
    remoteFileArea_ = new QBoxLayout(QBoxLayout::LeftToRight, fileArea);
    remoteFileArea_->setContentsMargins(0, 0, 0, 0);
    remoteFileArea_->setSpacing(0);
    PlacePaneToolBar(remoteFileArea_, remoteSysToolBar_, remoteFileViews_, Left, Left);
    QWidget* lower = Column("PanelRB", {remoteDirBox_, fileArea}, fileArea);

    remoteSplitter_ = MakeSplitter(Qt::Vertical, "RemoteSplitter");
    remoteSplitter_->addWidget(upper);
    remoteSplitter_->addWidget(lower);
    remoteSplitter_->setStretchFactor(0, 0);
    remoteSplitter_->setStretchFactor(1, 1);

    remoteSysGroupBox_ = new QGroupBox(QStringLiteral("リモート"));
    remoteSysGroupBox_->setObjectName(QStringLiteral("RemoteSysGroupBox"));
    auto* layout = new QVBoxLayout(remoteSysGroupBox_);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(remoteSplitter_);
    return remoteSysGroupBox_;
}

void TMainForm::BuildStatusBar()
{
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 5; ++i) {
        auto* panel = new TStatusPanel(PanelWidths[i], i == 4, bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel);
        statusPanels_[i] = panel;
    }
    setStatusBar(bar);
    SetStatusPanel(0, QStringLiteral("未接続"));
}

void TMainForm::ApplyDesignedSizes()
{
    SetSplitterPart(paneSplitter_, 0, DesignedLocalWidth);
    SetSplitterPart(localSplitter_, 0, DesignedUpperHeight);
    SetSplitterPart(remoteSplitter_, 0, DesignedUpperHeight);
    SetSplitterPart(mainSplitter_, 1, DesignedLogHeight);
}

void TMainForm::SetStatusPanel(int index, const QString& text)
{
    if (index >= 0 && index < 5)
        statusPanels_[index]->setText(text);
}

QString TMainForm::StatusPanelText(int index) const
{
    return index >= 0 && index < 5 ? statusPanels_[index]->text() : QString();
}

void TMainForm::PlacePaneToolBar(QBoxLayout* layout, QToolBar* bar, QWidget* view, int edge, int designedEdge)
{
    if (edge < Top || edge > Right)
        edge = designedEdge;
    layout->removeWidget(bar);
    layout->removeWidget(view);
    const bool sideways = edge == Left || edge == Right;
    layout->setDirection(sideways ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    bar->setOrientation(sideways ? Qt::Vertical : Qt::Horizontal);
    if (edge == Left || edge == Top) {
        layout->addWidget(bar);
        layout->addWidget(view, 1);
    } else {
        layout->addWidget(view, 1);
        layout->addWidget(bar);
    }
    if (bar == localSysToolBar_)
        localSysAlign_ = edge;
    else
        remoteSysAlign_ = edge;
}

// TSettingsWindow: geometry.

QRect TMainForm::FormBounds() const
{
    return geometry();
}

void TMainForm::SetFormBounds(const QRect& bounds)
{
    setGeometry(bounds);
}

int TMainForm::LocalSysGroupBoxWidth() const
{
    return SplitterPart(paneSplitter_, 0);
}

void TMainForm::SetLocalSysGroupBoxWidth(int width)
{
    SetSplitterPart(paneSplitter_, 0, width);
}

int TMainForm::PanelLMHeight() const
{
    return SplitterPart(localSplitter_, 0);
}

void TMainForm::SetPanelLMHeight(int height)
{
    SetSplitterPart(localSplitter_, 0, height);
}

int TMainForm::PanelRUHeight() const
{
    return SplitterPart(remoteSplitter_, 0);
}

void TMainForm::SetPanelRUHeight(int height)
{
    SetSplitterPart(remoteSplitter_, 0, height);
}

int TMainForm::LogHeight() const
{
    return SplitterPart(mainSplitter_, 1);
}

void TMainForm::SetLogHeight(int height)
{
    SetSplitterPart(mainSplitter_, 1, height);
}

int TMainForm::ToolBarAlign(TToolBarId bar) const
{
    switch (bar) {
    case TToolBarId::Header: return headerAlign_;
    case TToolBarId::LocalSys: return localSysAlign_;
    case TToolBarId::RemoteSys: return remoteSysAlign_;
    }
    return Top;
}

void TMainForm::SetToolBarAlign(TToolBarId bar, int edge)
{
    switch (bar) {
    case TToolBarId::Header: {
        // Edges outside 1 to 4 mean the designed edge.
        headerAlign_ = edge >= Top && edge <= Right ? edge : Top;
        static constexpr Qt::ToolBarArea areas[] = {Qt::TopToolBarArea, Qt::TopToolBarArea, Qt::BottomToolBarArea,
                                                    Qt::LeftToolBarArea, Qt::RightToolBarArea};
        const bool visible = headerToolBar_->isVisibleTo(this);
        removeToolBar(headerToolBar_);
        addToolBar(areas[headerAlign_], headerToolBar_);
        headerToolBar_->setVisible(visible);
        break;
    }
    case TToolBarId::LocalSys: PlacePaneToolBar(localFileArea_, localSysToolBar_, localFileViews_, edge, Right); break;
    case TToolBarId::RemoteSys: PlacePaneToolBar(remoteFileArea_, remoteSysToolBar_, remoteFileViews_, edge, Left); break;
    }
}

// TSettingsWindow: selectors, masks, directory, colours, timer.

namespace {

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

}  // namespace

bool TMainForm::Checked(TCheckMark mark) const
{
    return Action(CheckActionName(mark))->isChecked();
}

void TMainForm::SetChecked(TCheckMark mark, bool checked)
{
    Action(CheckActionName(mark))->setChecked(checked);
}

QString TMainForm::LocalMask() const
{
    return localMaskBox_->currentText();
}

void TMainForm::SetLocalMask(const QString& mask)
{
    localMaskBox_->setEditText(mask);
}

QString TMainForm::RemoteMask() const
{
    return remoteMaskBox_->currentText();
}

void TMainForm::SetRemoteMask(const QString& mask)
{
    remoteMaskBox_->setEditText(mask);
}

QString TMainForm::LocalDirectory() const
{
    return QDir::currentPath();
}

void TMainForm::SetLocalDirectory(const QString& path)
{
    // The local directory is the process's working directory; one that cannot be entered
    // leaves the pane where it is.
    localPane_->ChangeDirectory(path);
}

int TMainForm::LogColor(TLogColorClass kind) const
{
    switch (kind) {
    case TLogColorClass::Comment: return eeLog_->CommentColor();
    case TLogColorClass::Int: return eeLog_->IntColor();
    case TLogColorClass::Reserve: return eeLog_->ReserveColor();
    }
    return 0;
}

void TMainForm::SetLogColor(TLogColorClass kind, int value)
{
    switch (kind) {
    case TLogColorClass::Comment: eeLog_->SetCommentColor(value); break;
    case TLogColorClass::Int: eeLog_->SetIntColor(value); break;
    case TLogColorClass::Reserve: eeLog_->SetReserveColor(value); break;
    }
}

void TMainForm::SetKeepAliveEnabled(bool enabled)
{
    if (enabled)
        noDisconnectTimer_->start();
    else
        noDisconnectTimer_->stop();
}

// TSettingsWindow: toolbar look and views.

namespace {

void SetButtonsFlat(QToolBar* bar, bool flat)
{
    for (QToolButton* button : bar->findChildren<QToolButton*>())
        button->setAutoRaise(flat);
}

}  // namespace

void TMainForm::SetHeaderFlat(bool flat)
{
    headerFlat_ = flat;
    SetButtonsFlat(headerToolBar_, flat);
}

void TMainForm::SetPaneToolBarsFlat(bool flat)
{
    SetButtonsFlat(localSysToolBar_, flat);
    SetButtonsFlat(remoteSysToolBar_, flat);
}

void TMainForm::SetHeaderCaptionsBesideImages(bool beside)
{
    headerCaptionsBeside_ = beside;
    ApplyHeaderButtonStyle();
}

void TMainForm::RemoveHeaderImages()
{
    headerImages_ = false;
    ApplyHeaderButtonStyle();
}

void TMainForm::SetHeaderShowCaptions(bool show)
{
    headerCaptions_ = show;
    ApplyHeaderButtonStyle();
}

void TMainForm::ApplyHeaderButtonStyle()
{
    // Without images the buttons show their captions, so none is ever empty.
    Qt::ToolButtonStyle style = Qt::ToolButtonIconOnly;
    if (!headerImages_)
        style = Qt::ToolButtonTextOnly;
    else if (headerCaptions_)
        style = headerCaptionsBeside_ ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextUnderIcon;
    headerToolBar_->setToolButtonStyle(style);
}

bool TMainForm::HeaderVisible() const
{
    return !headerToolBar_->isHidden();
}

void TMainForm::SetHeaderVisible(bool visible)
{
    headerToolBar_->setVisible(visible);
}

void TMainForm::SetPaneToolBarsVisible(bool visible)
{
    localSysToolBar_->setVisible(visible);
    remoteSysToolBar_->setVisible(visible);
}

void TMainForm::SetToolBarButtonWidth(int width)
{
    for (QToolBar* bar : {headerToolBar_, localSysToolBar_, remoteSysToolBar_})
        for (QToolButton* button : bar->findChildren<QToolButton*>())
            button->setMinimumWidth(width);
}

void TMainForm::ShowViewStyle(TViewStyle style)
{
    viewStyle_ = style;
    localFileViews_->ShowStyle(style);
    remoteFileViews_->ShowStyle(style);
    localFileViews_->FitColumns();
    remoteFileViews_->FitColumns();
}

void TMainForm::ShowTransferMode(TTransferChoice mode)
{
    static const QString names[] = {QStringLiteral("ASCII"), QStringLiteral("Binary"), QStringLiteral("Auto")};
    const QString& name = names[static_cast<int>(mode)];
    modeBtn_->setText(name);
    modeBtn_->setToolTip(QStringLiteral("転送モード：") + name);
    modeBtn_->setStatusTip(modeBtn_->toolTip());
    SetStatusPanel(1, name);
    headerToolBar_->update();
}
