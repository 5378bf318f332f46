#include "connection.h"

#include "platform/failure.h"
#include "query.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace db {

namespace {

const QString kConnectionName = QStringLiteral("zovavazuvi");

// Another process that briefly holds the file does not fail a command.
const QString kOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");

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
        if (probe.exec(QStringLiteral("select count(*) from sqlite_master")))
            return;
        const QString reason = probe.lastError().text().trimmed();
        probe = QSqlQuery();
        database = QSqlDatabase();
        closeConnection();
        throw platform::Failure(QStringLiteral("%1: %2").arg(path, reason));
    }
    database = QSqlDatabase();
    closeConnection();
    throw platform::Failure(QStringLiteral("%1: %2").arg(path, error.text().trimmed()));
}

void closeConnection() {
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

void beginTransaction() {
    execute(QStringLiteral("begin immediate"));
}

void commitTransaction() {
    execute(QStringLiteral("commit"));
}

void rollbackTransaction() {
    // A failed statement may already have ended the transaction; there is nothing more to undo.
    try {
        execute(QStringLiteral("rollback"));
    } catch (const platform::Failure&) {
    }
}

}  // namespace db
