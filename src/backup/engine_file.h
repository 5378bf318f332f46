#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

namespace backup {

// A database file opened through the engine's own interface, apart from the shared connection:
// to check a file before it is used, or to write a copy. Closed when it goes.
class EngineFile {
public:
    enum class Mode { Read, Create };
    // A file that cannot be opened is a Failure with the engine's reason.
    EngineFile(const QString& path, Mode mode);
    ~EngineFile();
    EngineFile(const EngineFile&) = delete;
    EngineFile& operator=(const EngineFile&) = delete;

    sqlite3* handle() const { return handle_; }
    // The first column of every row of a statement, its values bound in order; an engine error
    // is a Failure with its reason.
    QStringList column(const QString& statement, const QStringList& values = {}) const;
    // Runs statements separated by ";" that take no values and return no rows.
    void run(const QString& statements) const;

private:
    sqlite3* handle_ = nullptr;
};

// The engine's text for the last failure on the handle.
QString engineReason(sqlite3* handle);

}  // namespace backup
