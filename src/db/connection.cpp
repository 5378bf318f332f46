#include "connection.h"

#include "collation.h"
#include "engine_failure.h"
#include "platform/failure.h"
#include "query.h"
#include "schema_version.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <utility>
#include <vector>

namespace db {

namespace {

const QString kConnectionName = QStringLiteral("zovavazuvi");

// Another process that briefly holds the file does not fail a command.
const QString kOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMilliseconds);

// The transaction in progress on the shared connection and what waits for its end.
struct Transaction {
    bool open = false;
    std::vector<std::function<void(bool committed)>> atEnd;
};

Transaction& currentTransaction() {
    static Transaction transaction;
    return transaction;
}

void endTransaction(bool committed) {
    auto actions = std::exchange(currentTransaction(), {}).atEnd;
    for (const auto& action : actions)
        action(committed);
}

// A file written by a newer program is closed again untouched.
void refuseNewerDatabase(const QString& path) {
    try {
        refuseNewerSchema(schemaVersion(), path);
    } catch (...) {
        closeConnection();
        throw;
    }
}

// A failure of the generic SQL layer: the engine's common failures as the engine's own are
// reported, any other in the layer's whole text.
QString engineText(const QSqlError& error) {
    const QString engine = error.databaseText();
    const QString text = engineFailureText(error.nativeErrorCode().toInt(), engine);
    return text == engine ? error.text().trimmed() : text;
}

}  // namespace

void openConnection(const QString& path) {
    closeConnection();
    // The engine would create a missing file; the program must not start on an empty one.
    if (!QFileInfo(path).isFile())
        throw platform::Failure(QStringLiteral("Could not find file '%1'").arg(path));
    auto database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnectionName);
    database.setDatabaseName(path);
    database.setConnectOptions(kOptions);
    const bool opened = database.open();
    const QSqlError error = database.lastError();
    if (opened) {
        // Reading the catalogue proves that the file is a database.
        QSqlQuery probe(database);
        if (probe.exec(QStringLiteral("select count(*) from sqlite_master"))) {
            probe = QSqlQuery();
            database = QSqlDatabase();
            registerHungarianCollation();
            refuseNewerDatabase(path);
            return;
        }
        const QString reason = engineText(probe.lastError());
        probe = QSqlQuery();
        database = QSqlDatabase();
        closeConnection();
        throw platform::Failure(QStringLiteral("%1: %2").arg(path, reason));
    }
    database = QSqlDatabase();
    closeConnection();
    throw platform::Failure(QStringLiteral("%1: %2").arg(path, engineText(error)));
}

void closeConnection() {
    endTransaction(false);
    if (!QSqlDatabase::contains(kConnectionName))
        return;
    {
        auto database = QSqlDatabase::database(kConnectionName, false);
        database.close();
    }
    QSqlDatabase::removeDatabase(kConnectionName);
}

bool isConnected() {
    return QSqlDatabase::contains(kConnectionName) &&
           QSqlDatabase::database(kConnectionName, false).isOpen();
}

QSqlDatabase connection() {
    if (!isConnected())
        throw platform::Failure(QStringLiteral("The database connection is not open"));
    return QSqlDatabase::database(kConnectionName, false);
}

void setBusyTimeout(int milliseconds) {
    execute(QStringLiteral("pragma busy_timeout = %1").arg(milliseconds));
}

bool transactionOpen() {
    return currentTransaction().open;
}

void whenTransactionEnds(std::function<void(bool committed)> action) {
    if (!transactionOpen()) {
        action(true);
        return;
    }
    currentTransaction().atEnd.push_back(std::move(action));
}

void beginTransaction() {
    // Taking the write lock at once makes a file held by another writer fail here, before any
    // change is made.
    execute(QStringLiteral("begin immediate"));
    currentTransaction().open = true;
}

void commitTransaction() {
    // A commit refused by a lock leaves the transaction open; the caller rolls it back.
    execute(QStringLiteral("commit"));
    endTransaction(true);
}

void rollbackTransaction() {
    // The engine ends the transaction itself after some failures (an I/O error at commit);
    // then there is nothing more to undo.
    try {
        execute(QStringLiteral("rollback"));
    } catch (const platform::Failure&) {
    }
    endTransaction(false);
}

}  // namespace db
