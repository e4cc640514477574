#pragma once
#include "platform/DateTime.h"

#include <QDateTime>
#include <QString>

// The time texts of the file panes, and the moments they name. Whatever a pane formats, the
// same formats parse back.

// The remote pane: the locale's short date and its long time without a zone name.
const QString& RemoteDateFormat();
const QString& RemoteTimeFormat();
// The local pane: "yyyy/MM/dd hh:mm" with the locale's date and time separators.
const QString& LocalTimePattern();

// The local moment of a pane's time text: the remote pane's date and time, date alone (at
// midnight) or time alone (on the day before 1900 that stands for no date), or the local
// pane's minute text. Raises EConvertError for any other text.
QDateTime PaneTimeValue(const QString& text);
