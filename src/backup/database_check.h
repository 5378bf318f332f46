#pragma once

#include <QString>

#include <optional>

// Checking a database file before the program works on it or puts it in the database's place.
namespace backup {

// What the engine's quick check finds wrong with the file: its first finding, or why the file
// cannot be read as a database at all; nothing when the file is sound. The file is only read.
std::optional<QString> damageOf(const QString& path);

// Why the file cannot take the database's place: it is damaged, a newer program wrote it (its
// schema version), or a table or view of the program's schema is missing or has other columns;
// nothing when it can. A restore and the rescue of a damaged database at start both check by it.
std::optional<QString> unfitForRestore(const QString& path);

}  // namespace backup
