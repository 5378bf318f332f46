#pragma once

#include "platform/failure.h"

#include <QString>

struct sqlite3;

namespace db {

// A failure of the database engine as the user reads it. Its common failures (the file held by
// another program, a read-only file or folder, a full disk, a damaged file, a missing table) get a
// sentence saying what to do, followed by the engine's own text in parentheses; any other keeps
// the engine's text alone. resultCode is the engine's (extended) result code.
QString engineFailureText(int resultCode, const QString& engineText);

// The engine's last failure on the connection handle, as a Failure with that text.
platform::Failure engineFailure(sqlite3* handle);

}  // namespace db
