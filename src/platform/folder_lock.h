#pragma once

#include "platform/failure.h"

#include <QLockFile>
#include <QString>

namespace platform {

// Keeps a second instance of the program out of a working folder while it is held: a lock file
// in the folder. A lock left by a program that no longer runs (killed, crashed) is taken over.
// The main window and every command-line operation that writes take it, so two instances never
// save, send or change the same folder's files at once.
class WorkingFolderLock {
public:
    // A lock that cannot be held is a LockRefused.
    explicit WorkingFolderLock(const QString& folder);
    WorkingFolderLock(const WorkingFolderLock&) = delete;
    WorkingFolderLock& operator=(const WorkingFolderLock&) = delete;

private:
    QLockFile lock_;
};

// What the user is told when the lock cannot be held: the folder is in use by another instance,
// or the lock file cannot be made there.
class LockRefused : public Failure {
public:
    using Failure::Failure;
};

}  // namespace platform
