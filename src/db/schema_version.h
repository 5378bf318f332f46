#pragma once

#include <QString>

namespace db {

// The schema version of the database, kept in the file's user_version. This program reads and
// writes version kSchemaVersion; a file of a lower version is brought up to it by the numbered
// migration steps, a file of a higher one was written by a newer program and is refused.
// Version 2 is the schema of data/schema.sql; 1 is that schema without the unique index of the
// data-provider records' report key; 0 marks a file made before versions were kept.
inline constexpr int kSchemaVersion = 2;

// The schema version of the database on the shared connection.
int schemaVersion();
// Sets it; inside an open transaction it is stored with the transaction's other changes.
void setSchemaVersion(int version);

// The schema version of a database file, read from its header without opening a connection (a
// file can be checked while the shared connection is open on another). A file that cannot be
// read or is not a database is a Failure naming it.
int schemaVersionOfFile(const QString& path);

// A Failure when version is higher than this program's: the file at path was written by a newer
// program, and nothing may change it.
void refuseNewerSchema(int version, const QString& path);

// Runs the migration steps from the shared connection's schema version up to kSchemaVersion, in
// one transaction: a step that fails leaves the database as it was. A step that the stored data
// does not allow yet (a unique index over rows that repeat its key) and the steps after it wait
// for a later call; the steps before are kept.
void migrateSchema();

// The statements that take a database of this program's schema back to that of an older
// version: applied to data/schema.sql, they give the schema a file of that version should have.
QStringList statementsBackTo(int version);

}  // namespace db
