#pragma once
#include <QString>
#include <functional>
#include <string>

class TEditor;

// Feeds the session log pane: program notes, engine status texts and the server dialogue.
class TSessionLog {
public:
    // pane may be null while the window is being built or torn down; maxLog reads the
    // current line limit (option iMaxLog) on every append.
    TSessionLog(TEditor* pane, std::function<int()> maxLog);

    void SetPane(TEditor* pane) { pane_ = pane; }

    // Trims blanks and control characters, skips an empty result, appends it, drops the oldest
    // lines beyond the limit (negative limits count as 0) and scrolls to the end.
    void AppendLogLine(const QString& text);
    // Appends as given: no trim, no limit (the start-up lines).
    void AddLineDirect(const QString& text);

    // Engine hook: one call per chunk of control-connection data, decoded to UTF-8. A chunk
    // holding several lines gives one pane line per line, each with the direction mark.
    void LogReceived(const std::string& data);
    void LogSent(const std::string& data);
    // The same for an extra connection of the session, its lines marked with its number.
    void LogDialogue(int connection, bool sent, const std::string& data);

private:
    void LogChunk(const QString& mark, const QString& data);

    TEditor* pane_;
    std::function<int()> maxLog_;
};
