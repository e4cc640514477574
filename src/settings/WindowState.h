#pragma once
#include "platform/ListFile.h"

#include <QString>

#include <cstdint>

class TTransactionDlg;

// State that several subsystems share. TMainForm owns one of each and hands every subsystem
// references to exactly the parts it reads or writes.

// Extension lists: text files (Auto mode, icons), files folder transfers skip, files
// mirroring never deletes, and the pictures the image plug-ins decode.
struct TExtensionLists {
    StringList TextExtList;
    StringList SkipExtList;
    StringList NoDeleteExtList;
    StringList ImageExtList;
};

// The transfer in progress; the engine's work events write most of it.
struct TTransferState {
    // The data type chosen for the file being transferred: "ASCII" or "Binary".
    QString TransferModeName = QStringLiteral("ASCII");
    // Smoothed speed in KB/s.
    double TransferSpeed = 0;
    // Expected bytes of the current transfer; -1 when the server gives no size. 64-bit, so
    // files over 2 GiB show correct progress.
    std::int64_t ExpectedSize = 0;
    // The progress window while a command runs with bShowTransactionDlg set; owned by the
    // transfers subsystem.
    TTransactionDlg* ProgressWindow = nullptr;
};

// The connection profile in use and the outcome of the connection dialog.
struct TSessionState {
    QString ProfileName;
    // Milliseconds the engine's Connect may take.
    int ConnectTimeout = 0;
    // Set when the connection dialog ended with OK.
    bool ConnectAccepted = false;
};

// Between EnterBusyState and LeaveBusyState; not nested.
struct TBusyState {
    bool BusyFlag = false;
};
