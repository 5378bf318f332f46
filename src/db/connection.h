#pragma once

#include <QSqlDatabase>
#include <QString>

#include <functional>

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

// How long a statement waits for another process to release the file before it fails with
// "database is locked".
inline constexpr int kBusyTimeoutMilliseconds = 5000;
void setBusyTimeout(int milliseconds);

// Runs fn inside one transaction: both or neither of the changes it makes are stored. A failure
// of fn or of the commit itself rolls everything back and is passed on; the connection stays
// usable. Called while a transaction is open, fn joins it.
template <typename Fn>
void inTransaction(Fn&& fn);

// Runs action(committed) when the open transaction ends, or action(true) at once when none is
// open: what is only true once the changes are stored waits for the commit.
void whenTransactionEnds(std::function<void(bool committed)> action);

bool transactionOpen();
void beginTransaction();
void commitTransaction();
void rollbackTransaction();

template <typename Fn>
void inTransaction(Fn&& fn) {
    if (transactionOpen()) {
        fn();
        return;
    }
    beginTransaction();
    try {
        fn();
        commitTransaction();
    } catch (...) {
        rollbackTransaction();
        throw;
    }
}

}  // namespace db
