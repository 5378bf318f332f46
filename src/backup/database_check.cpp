#include "database_check.h"

#include "db/schema_version.h"
#include "engine_file.h"
#include "platform/failure.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace backup {

namespace {

struct SchemaTable {
    QString name;
    QStringList columns;
};

QStringList columnsOf(const EngineFile& file, const QString& table) {
    return file.column(QStringLiteral("select name from pragma_table_info(?)"), {table});
}

// The tables and the view of the program's own schema, the one its database is generated from,
// in the order it creates them, each with its columns in order (the save run reads them by
// position).
const QList<SchemaTable>& programSchema() {
    static const QList<SchemaTable> tables = [] {
        QFile schema(QStringLiteral(":/schema.sql"));
        if (!schema.open(QIODevice::ReadOnly))
            throw platform::Failure(QStringLiteral("The program's schema is missing"));
        const EngineFile database(QStringLiteral(":memory:"), EngineFile::Mode::Create);
        database.run(QString::fromUtf8(schema.readAll()));
        QList<SchemaTable> found;
        for (const QString& name : database.column(QStringLiteral(
                 "select name from sqlite_master where type in ('table', 'view') order by rowid")))
            found.append({name, columnsOf(database, name)});
        return found;
    }();
    return tables;
}

QStringList lowered(QStringList names) {
    for (QString& name : names)
        name = name.toLower();
    return names;
}

// A table the program reads that is missing from the file or has other columns. Files of an
// older schema version are compared with this one's tables too: no migration step changes them.
std::optional<QString> unlikeTheSchema(const EngineFile& file) {
    for (const SchemaTable& table : programSchema()) {
        const QStringList columns = columnsOf(file, table.name);
        if (columns.isEmpty())
            return QStringLiteral("hiányzik belőle a(z) %1 tábla").arg(table.name);
        if (lowered(columns) != lowered(table.columns))
            return QStringLiteral("a(z) %1 tábla oszlopai nem egyeznek a program adatbázisáéval")
                .arg(table.name);
    }
    return std::nullopt;
}

}  // namespace

std::optional<QString> damageOf(const QString& path) {
    if (!QFileInfo(path).isFile())
        return QStringLiteral("a fájl nem található");
    try {
        const EngineFile file(path, EngineFile::Mode::Read);
        const QStringList findings = file.column(QStringLiteral("pragma quick_check"));
        if (findings == QStringList{QStringLiteral("ok")})
            return std::nullopt;
        // The first finding begins with a line naming the database ("*** in database main ***").
        QStringList lines = findings.mid(0, 3).join(u'\n').split(u'\n');
        lines.removeIf([](const QString& line) { return line.startsWith(u'*'); });
        return lines.isEmpty() ? findings.first() : lines.join(QStringLiteral("; "));
    } catch (const platform::Failure& failure) {
        return failure.text();
    }
}

std::optional<QString> unfitForRestore(const QString& path) {
    if (std::optional<QString> damage = damageOf(path))
        return damage;
    try {
        db::refuseNewerSchema(db::schemaVersionOfFile(path), path);
        return unlikeTheSchema(EngineFile(path, EngineFile::Mode::Read));
    } catch (const platform::Failure& failure) {
        return failure.text();
    }
}

}  // namespace backup
