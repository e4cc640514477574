#pragma once
#include <QString>

// The main window's session fields: the profile in use and what the connection dialog's OK
// hands to the connect command.
struct TSessionState {
    QString ProfileName;
    // Milliseconds.
    int ConnectTimeout = 0;
    // Set by the connection dialog's OK.
    bool ConnectAccepted = false;
};
