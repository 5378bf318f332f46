#pragma once

#include "platform/failure.h"

#include <QString>
#include <QStringList>

struct sqlite3;

namespace backup {

// A failure of the engine on a file opened apart from the shared connection, in the words of the
// program's other engine failures, with the engine's own text and its (extended) result code,
// which tells a held file from a damaged one.
class EngineFileFailure : public platform::Failure {
public:
    EngineFileFailure(int code, const QString& engineText);
    int code() const { return code_; }
    // The primary result code (SQLITE_BUSY, SQLITE_CORRUPT, ...).
    int primaryCode() const { return code_ & 0xff; }
    const QString& engineText() const { return engineText_; }

private:
    int code_;
    QString engineText_;
};

// A database file opened through the engine's own interface, apart from the shared connection:
// to check a file before it is used, or to write a copy. Closed when it goes.
class EngineFile {
public:
    // Read never writes; Write opens an existing file as the program does, so that the engine
    // rolls back a write that was interrupted, and waits for another process as long as the
    // shared connection does; Create makes the file when it is missing.
    enum class Mode { Read, Write, Create };
    // A file that cannot be opened is an EngineFileFailure with the engine's reason.
    EngineFile(const QString& path, Mode mode);
    ~EngineFile();
    EngineFile(const EngineFile&) = delete;
    EngineFile& operator=(const EngineFile&) = delete;

    sqlite3* handle() const { return handle_; }
    // The first column of every row of a statement, its values bound in order; an engine error
    // is an EngineFileFailure with its reason.
    QStringList column(const QString& statement, const QStringList& values = {}) const;
    // Runs statements separated by ";" that take no values and return no rows.
    void run(const QString& statements) const;

private:
    sqlite3* handle_ = nullptr;
};

// The engine's last failure on the handle.
EngineFileFailure engineFileFailure(sqlite3* handle);

// Copies every page of source into target's main database in one write transaction of target,
// under the engine's locking of both. A copy that the engine could not finish (a lock held too
// long by another process, a full disk, a target that is not a database) is an
// EngineFileFailure, and target is as it was.
void copyPages(sqlite3* source, sqlite3* target);

}  // namespace backup
