#pragma once
#include <QString>

class TEditor;

// Shown by the main window when the viewer for a log cannot be started.
inline constexpr const char16_t* LogViewerFailedMessage =
    u"ログファイルが開けませんでした。ログファイルが存在しないか、ビューアの再設定が必要です";

// Starts the viewer program with the file as its one argument; false when it cannot be started.
bool StartViewer(const QString& viewerProgram, const QString& path);

// Writes the pane's lines to AppDir/SessionLog.txt (throws std::runtime_error on failure)
// and returns the path.
QString SaveSessionLog(const TEditor& pane, const QString& appDir);
