#pragma once

#include "platform/failure.h"

#include <QString>

namespace platform {

// Keeps a second instance of the program out of a working folder while it is held: an
// operating-system lock on the folder's velkor.lock, which the system frees when the process ends
// however it ends. The file's text (the holder's process id) only informs, so a file left empty,
// garbled or behind by a program that no longer runs is simply taken over. The main window and
// every command-line operation that writes take it, so two instances never save, send or change
// the same folder's files at once.
class WorkingFolderLock {
public:
    // A lock that cannot be held is a LockRefused.
    explicit WorkingFolderLock(const QString& folder);
    ~WorkingFolderLock();
    WorkingFolderLock(const WorkingFolderLock&) = delete;
    WorkingFolderLock& operator=(const WorkingFolderLock&) = delete;

private:
    int descriptor_ = -1;
};

// The lock file's name in the working folder.
inline constexpr char kLockFileName[] = "velkor.lock";

// What the user is told when the lock cannot be held: the folder is in use by another instance,
// or the lock file cannot be made there.
class LockRefused : public Failure {
public:
    using Failure::Failure;
};

}  // namespace platform
