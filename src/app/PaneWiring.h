#pragma once
#include <QString>

#include <functional>

class QComboBox;
class QObject;
class TFileViewStack;
class TWindowActions;
struct TFileEntry;

// What the mouse, the keys and the boxes of one pane do, the same for both panes: Enter in the
// directory box lists it, the mask box applies its text when left, a header click sorts, a
// double click on a row (or Enter in the list) opens a folder or runs the command the option
// picks, Backspace in the list goes one folder up and Delete deletes the selected rows, and rows
// dragged from the other pane run the transfer into this one.
struct TPaneWiring {
    TFileViewStack& views;
    QComboBox& dirBox;
    QComboBox& maskBox;
    // The key last pressed in either directory box.
    int& lastDirBoxKey;
    TWindowActions& actions;
    std::function<void()> refresh;
    std::function<void()> maskBoxExit;
    std::function<void(int)> columnClick;
    // On double click: 0 runs viewAction, 1 transferAction, 2 nothing.
    std::function<int()> doubleClickOption;
    QString viewAction;
    QString transferAction;
    std::function<void(const TFileEntry&)> openFolder;
    QString folderUpAction;
    QString deleteAction;
    // The other pane's rows format and the command a drop of them runs while connected.
    QString droppedRowsFormat;
    QString dropAction;
    std::function<bool()> connected;
};

void WirePane(QObject& context, const TPaneWiring& pane);
