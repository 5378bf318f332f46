#pragma once

#include <QLockFile>
#include <QString>

#include <optional>

namespace platform {

// Keeps a second instance of the program out of a working folder while it is held: a lock file
// in the folder. A lock left by a program that no longer runs (killed, crashed) is taken over.
// The main window and every command-line operation that writes take it, so two instances never
// save, send or change the same folder's files at once.
class WorkingFolderLock {
public:
    explicit WorkingFolderLock(const QString& folder);
    WorkingFolderLock(const WorkingFolderLock&) = delete;
    WorkingFolderLock& operator=(const WorkingFolderLock&) = delete;

    // Nothing when the lock is held; otherwise what the user is told: the folder is in use by
    // another instance, or the lock file cannot be made there.
    const std::optional<QString>& refusal() const { return refusal_; }

private:
    QLockFile lock_;
    std::optional<QString> refusal_;
};

}  // namespace platform
