#include "folder_lock.h"

#include <QDir>

namespace platform {

WorkingFolderLock::WorkingFolderLock(const QString& folder)
    : lock_(QDir(folder).filePath(QStringLiteral("velkor.lock"))) {
    // Held for as long as the program runs: only a lock whose program is gone is stale.
    lock_.setStaleLockTime(0);
    if (lock_.tryLock())
        return;
    const QString shown = QDir::toNativeSeparators(QDir(folder).absolutePath());
    if (lock_.error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host, application;
        lock_.getLockInfo(&pid, &host, &application);
        throw LockRefused(
            QStringLiteral("A program már fut ebben a munkamappában (%1, folyamat: %2). Egy "
                           "munkamappában egyszerre csak egy példánya dolgozhat; lépjen ki a "
                           "másikból, és indítsa újra!")
                .arg(shown)
                .arg(pid));
    }
    throw LockRefused(QStringLiteral("A munkamappa (%1) nem zárolható: a zárolófájl nem hozható "
                                     "létre. Ellenőrizze, hogy a mappa írható-e!")
                          .arg(shown));
}

}  // namespace platform
