#pragma once
#include "settings/WindowSettings.h"

#include <QStackedWidget>

#include <chrono>
#include <vector>

class QAbstractItemView;
class QListView;
class QTimer;
class QTreeView;
class TFileListModel;
struct TFileEntry;
struct TFileRow;

// One pane's file list shown in one of the three styles: a tree view for Report, a list view
// for List (top to bottom in columns) and Small Icon (left to right in rows). Both views show
// one model and share one selection.
class TFileViewStack : public QStackedWidget {
public:
    // name: the object name of the report view; the list view gets name + "Icons".
    TFileViewStack(const QString& name, TFileListModel* model);

    TFileListModel& Model() const { return *model_; }
    QTreeView& Report() const { return *report_; }
    QListView& Icons() const { return *icons_; }
    // Both views, for wiring signals and menus.
    QList<QAbstractItemView*> Views() const;

    // The selected rows' indexes in list order, their entries, and the first row (null when
    // none).
    QList<int> SelectedRows() const;
    std::vector<TFileEntry> SelectedEntries() const;
    const TFileRow* FirstSelectedRow() const;

    void ShowStyle(TViewStyle style);
    TViewStyle Style() const { return style_; }
    // Report: each column as wide as the larger of its header and its content; List: the one
    // column as wide as the widest caption; Small Icon: nothing.
    void FitColumns();
    // FitColumns for new rows. A folder transfer lists a folder every few dozen milliseconds,
    // and measuring every cell each time costs more than the listing: fits asked for within
    // FitSpacing of the last one are gathered into one when the spacing is over.
    void FitColumnsToNewRows();

private:
    static constexpr std::chrono::milliseconds FitSpacing{300};

    TFileListModel* model_;
    QTreeView* report_;
    QListView* icons_;
    TViewStyle style_ = TViewStyle::Report;
    QTimer* gatheredFit_;
    std::chrono::steady_clock::time_point lastFit_{};
};
