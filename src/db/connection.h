#pragma once

#include <QSqlDatabase>
#include <QString>

namespace db {

// The database file, relative to the program's working folder.
inline constexpr char kDatabasePath[] = "Adatok/ZovavaZuvi2007.mdb";

// Opens the one shared connection that every window uses. A missing file, a file that is not a
// database or one held locked by another process is a Failure carrying the reason.
void openConnection(const QString& path = QString::fromLatin1(kDatabasePath));
void closeConnection();
bool isConnected();

// The shared connection; a Failure when it is not open.
QSqlDatabase connection();

// Runs fn inside one transaction: both or neither of the changes it makes are stored.
template <typename Fn>
void inTransaction(Fn&& fn);

void beginTransaction();
void commitTransaction();
void rollbackTransaction();

template <typename Fn>
void inTransaction(Fn&& fn) {
    beginTransaction();
    try {
        fn();
    } catch (...) {
        rollbackTransaction();
        throw;
    }
    commitTransaction();
}

}  // namespace db
