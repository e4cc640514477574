#pragma once
#include <QString>

// The formats of the file panes' time texts.

// The remote pane: the locale's short date and its long time without a zone name.
const QString& RemoteDateFormat();
const QString& RemoteTimeFormat();
// The local pane: "yyyy/MM/dd hh:mm" with the locale's date and time separators.
const QString& LocalTimePattern();
