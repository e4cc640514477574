#include "fileops/ViewFolder.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>

namespace {

const QString RunLockName = QStringLiteral("run.lock");

// A lock of a live run is never taken for stale by its age, however long the run lasts.
std::unique_ptr<QLockFile> RunLock(const QString& folder)
{
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(RunLockName));
    lock->setStaleLockTime(0);
    return lock;
}

}  // namespace

TViewFolder::TViewFolder(const QString& appDir) : root_(QDir(appDir).filePath(QStringLiteral("View")))
{
    RemoveEndedRuns();
}

TViewFolder::~TViewFolder()
{
    if (runFolder_.isEmpty())
        return;
    runLock_->unlock();
    QDir(runFolder_).removeRecursively();
}

void TViewFolder::RemoveEndedRuns() const
{
    const QDir root(root_);
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString folder = root.filePath(name);
        // Taking the lock succeeds only when its run has ended (or never took it).
        const std::unique_ptr<QLockFile> lock = RunLock(folder);
        if (!lock->tryLock(0))
            continue;
        lock->unlock();
        QDir(folder).removeRecursively();
    }
}

QString TViewFolder::NewCommandFolder()
{
    if (runFolder_.isEmpty()) {
        QDir().mkpath(root_);
        QTemporaryDir run(QDir(root_).filePath(QStringLiteral("run-XXXXXX")));
        if (!run.isValid())
            throw EFileWriteError(root_.toStdString());
        std::unique_ptr<QLockFile> lock = RunLock(run.path());
        if (!lock->tryLock(0))
            throw EFileWriteError(run.path().toStdString());
        run.setAutoRemove(false);
        runFolder_ = run.path();
        runLock_ = std::move(lock);
    }
    const QString folder = QDir(runFolder_).filePath(QString::number(++commands_));
    if (!QDir().mkdir(folder))
        throw EFileWriteError(folder.toStdString());
    return folder;
}
