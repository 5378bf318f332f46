#include "schema_version.h"

#include "connection.h"
#include "platform/failure.h"
#include "query.h"

#include <QFile>

namespace db {

namespace {

// One numbered step: the statements that take a database of version step - 1 to version step.
struct Migration {
    int step;
    QStringList statements;
};

// Step 1 only stamps the version on files made before versions were kept: their schema is
// already that of version 1.
const QList<Migration>& migrations() {
    static const QList<Migration> steps{{1, {}}};
    return steps;
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
            for (const QString& statement : migration.statements)
                execute(statement);
            setSchemaVersion(migration.step);
        }
    });
}

}  // namespace db
