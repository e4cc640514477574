#pragma once
#include <QString>

#include <memory>

class QLockFile;

// Files written only for the viewer: a folder of this run below AppDir/View, never AppDir
// itself, where a remote file named "Marlux.ini" would replace the settings. The viewer starts
// detached and reads its file some time later, so the files stay until the run ends. A run
// holds a lock in its folder; the folders of runs that ended without closing go at the next
// start, while those of copies still running stay.
class TViewFolder {
public:
    // Removes the leftovers of ended runs.
    explicit TViewFolder(const QString& appDir);
    // Removes this run's folder.
    ~TViewFolder();
    TViewFolder(const TViewFolder&) = delete;
    TViewFolder& operator=(const TViewFolder&) = delete;

    // A new empty folder for one command's files, so that a file still waiting for its viewer
    // is never overwritten. Throws EFileWriteError when it cannot be created.
    QString NewCommandFolder();

private:
    void RemoveEndedRuns() const;

    QString root_;
    QString runFolder_;
    std::unique_ptr<QLockFile> runLock_;
    int commands_ = 0;
};
