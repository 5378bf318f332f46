#include "schema_version.h"

#include "connection.h"
#include "platform/failure.h"
#include "query.h"

#include <QFile>

namespace db {

namespace {

// One numbered step: the statements that take a database of version step - 1 to version step,
// those that take it back (so that a file of an older version can be compared with the schema it
// should have), and a query whose rows the step cannot be taken over: it waits for a later start
// while the query finds any, and the database stays at the version before.
struct Migration {
    int step;
    QStringList statements;
    QStringList back;
    QString blockedWhile;
};

const QString kRecordKeyIndex =
    QStringLiteral("on AdatlapInt (Adosajat, Adatszolgev, Adatszolgnegyedev)");

// Step 1 only stamps the version on files made before versions were kept: their schema is
// already that of version 1. Step 2 makes the database keep one data-provider record per report
// key; a database that already holds two is left as it is until the user removes one.
const QList<Migration>& migrations() {
    static const QList<Migration> steps{
        {1, {}, {}, {}},
        {2,
         {QStringLiteral("drop index AdatlapInt_key"),
          QStringLiteral("create unique index AdatlapInt_key ") + kRecordKeyIndex},
         {QStringLiteral("drop index AdatlapInt_key"),
          QStringLiteral("create index AdatlapInt_key ") + kRecordKeyIndex},
         QStringLiteral("select 1 from AdatlapInt group by Adosajat, Adatszolgev, "
                        "Adatszolgnegyedev having count(*) > 1")}};
    return steps;
}

bool blocked(const Migration& migration) {
    return !migration.blockedWhile.isEmpty() && !Query(migration.blockedWhile).eof();
}

// Where the header of a database file keeps the user_version: four bytes, most significant first.
constexpr qint64 kHeaderSize = 100;
constexpr qint64 kUserVersionOffset = 60;
constexpr char kHeaderMagic[] = "SQLite format 3";

}  // namespace

int schemaVersion() {
    return Query(QStringLiteral("pragma user_version")).text(0).toInt();
}

void setSchemaVersion(int version) {
    // A pragma takes no bound values; the version is a number this program chose.
    execute(QStringLiteral("pragma user_version = %1").arg(version));
}

int schemaVersionOfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    const QByteArray header = file.read(kHeaderSize);
    if (header.size() < kHeaderSize || !header.startsWith(kHeaderMagic))
        throw platform::Failure(QStringLiteral("%1: nem adatbázis").arg(path));
    int version = 0;
    for (qint64 i = kUserVersionOffset; i < kUserVersionOffset + 4; ++i)
        version = (version << 8) | static_cast<unsigned char>(header.at(i));
    return version;
}

void refuseNewerSchema(int version, const QString& path) {
    if (version <= kSchemaVersion)
        return;
    throw platform::Failure(
        QStringLiteral("A(z) %1 adatbázist a program egy újabb változata írta (az adatbázis "
                       "változata %2, ez a program legfeljebb a(z) %3. változatot ismeri). A "
                       "program nem nyúl hozzá; nyissa meg a program újabb változatával")
            .arg(path, QString::number(version), QString::number(kSchemaVersion)));
}

void migrateSchema() {
    // A current file is not written to at all.
    if (schemaVersion() >= kSchemaVersion)
        return;
    inTransaction([] {
        const int from = schemaVersion();
        for (const Migration& migration : migrations()) {
            if (migration.step <= from)
                continue;
            if (blocked(migration))
                return;
            for (const QString& statement : migration.statements)
                execute(statement);
            setSchemaVersion(migration.step);
        }
    });
}

QStringList statementsBackTo(int version) {
    QStringList statements;
    for (auto migration = migrations().rbegin(); migration != migrations().rend(); ++migration)
        if (migration->step > version)
            statements += migration->back;
    return statements;
}

}  // namespace db
