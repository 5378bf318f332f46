#include "database_check.h"

#include "db/connection.h"
#include "db/schema_version.h"
#include "engine_file.h"
#include "platform/failure.h"
#include "platform/message_box.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <sqlite3.h>

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace backup {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

const QString kUnchanged = QStringLiteral("Az adatbázis nem változott.");

// The permission bits as a listing of the folder shows them: "rw-r-----".
QString permissionsText(mode_t mode) {
    QString text;
    for (int shift = 6; shift >= 0; shift -= 3) {
        text += (mode >> shift) & 4 ? u'r' : u'-';
        text += (mode >> shift) & 2 ? u'w' : u'-';
        text += (mode >> shift) & 1 ? u'x' : u'-';
    }
    return text;
}

// What stops this user from reading and writing the file, or from writing the folder where the
// engine keeps the journal of a change beside it: the system's reason, the owner and the mode.
std::optional<QString> accessRefusal(const QString& path) {
    if (!QFileInfo::exists(path))
        return QStringLiteral("Az adatbázis (%1) nem található. ").arg(shown(path)) + kUnchanged;
    const QString folder = QFileInfo(path).absolutePath();
    const bool fileRefused = ::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0;
    if (!fileRefused && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0)
        return std::nullopt;
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    const QString refused = fileRefused ? path : folder;
    struct stat status {};
    ::stat(QFile::encodeName(refused).constData(), &status);
    return QStringLiteral(
               "%1 (%2) nem olvasható vagy nem írható ezzel a felhasználóval (%3). "
               "Tulajdonosa: %4, jogai: %5. Kérje meg a rendszergazdát, hogy adjon "
               "rá olvasási és írási jogot! ")
               .arg(fileRefused ? QStringLiteral("Az adatbázis")
                                : QStringLiteral("Az adatbázis mappája"),
                    shown(refused), reason, QFileInfo(refused).owner(),
                    permissionsText(status.st_mode)) +
           kUnchanged;
}

// The engine's first finding without the line that names the database ("*** in database main
// ***").
QString firstFinding(const QStringList& findings) {
    QStringList lines = findings.mid(0, 3).join(u'\n').split(u'\n');
    lines.removeIf([](const QString& line) { return line.startsWith(u'*'); });
    return lines.isEmpty() ? findings.first() : lines.join(QStringLiteral("; "));
}

// What a pragma check (quick_check, integrity_check) finds: nothing when the file is sound.
std::optional<QString> checkFinding(const EngineFile& file, const QString& check) {
    const QStringList findings = file.column(QStringLiteral("pragma ") + check);
    if (findings == QStringList{QStringLiteral("ok")})
        return std::nullopt;
    return firstFinding(findings);
}

Finding findingOfFailure(const QString& path, const EngineFileFailure& failure) {
    switch (failure.primaryCode()) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return {Finding::Kind::Held, heldDatabaseText(path, failure.engineText())};
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return {Finding::Kind::Damaged, damagedDatabaseText(path, failure.engineText())};
        default:
            return {Finding::Kind::Inaccessible,
                    QStringLiteral("Az adatbázis (%1) nem nyitható meg: %2 ")
                            .arg(shown(path), platform::withFullStop(failure.text())) +
                        kUnchanged};
    }
}

// One object of a database's catalogue: its kind, name and what makes it what it is (a table's
// columns, an index's table, uniqueness and columns, a view's columns and text, a trigger's
// text), all without regard to case.
struct SchemaObject {
    QString type;
    QString name;
    QStringList shape;
};

const QHash<QString, QString>& kindNames() {
    static const QHash<QString, QString> names{
        {QStringLiteral("table"), QStringLiteral("tábla")},
        {QStringLiteral("index"), QStringLiteral("index")},
        {QStringLiteral("view"), QStringLiteral("nézet")},
        {QStringLiteral("trigger"), QStringLiteral("eseményindító (trigger)")}};
    return names;
}

QString named(const SchemaObject& object) {
    return QStringLiteral("a(z) %1 %2").arg(object.name, kindNames().value(object.type));
}

QStringList lowered(QStringList texts) {
    for (QString& text : texts)
        text = text.toLower();
    return texts;
}

QStringList shapeOf(const EngineFile& file, const QString& type, const QString& name) {
    const auto columns = [&] {
        return file.column(
            QStringLiteral("select name || ' ' || type || ' ' || \"notnull\" || ' ' || "
                           "ifnull(dflt_value, '') || ' ' || pk from pragma_table_xinfo(?)"),
            {name});
    };
    const auto text = [&] {
        static const QRegularExpression blanks(QStringLiteral("\\s+"));
        return file
            .column(QStringLiteral("select ifnull(sql, '') from sqlite_master where name = ?"),
                    {name})
            .value(0)
            .replace(blanks, QStringLiteral(" "));
    };
    if (type == u"table")
        return columns();
    if (type == u"view")
        return columns() + QStringList{text()};
    if (type == u"index")
        return file.column(
            QStringLiteral("select m.tbl_name || ' ' || l.\"unique\" || ' ' || (select "
                           "group_concat(name, ',') from pragma_index_info(m.name)) from "
                           "sqlite_master m, pragma_index_list(m.tbl_name) l where m.name = ? and "
                           "l.name = m.name"),
            {name});
    return {text()};
}

QList<SchemaObject> catalogueOf(const EngineFile& file) {
    QList<SchemaObject> objects;
    const QStringList types = file.column(QStringLiteral(
        "select type from sqlite_master where name not like 'sqlite\\_stat%' escape '\\' "
        "order by rowid"));
    const QStringList names = file.column(QStringLiteral(
        "select name from sqlite_master where name not like 'sqlite\\_stat%' escape '\\' "
        "order by rowid"));
    for (qsizetype i = 0; i < types.size(); ++i)
        objects.append({types[i], names[i], shapeOf(file, types[i], names[i])});
    return objects;
}

// The catalogue of the program's own schema at a version: the schema its database is generated
// from, taken back by the migration steps above that version.
QList<SchemaObject> programCatalogue(int version) {
    static QHash<int, QList<SchemaObject>> catalogues;
    if (!catalogues.contains(version)) {
        QFile schema(QStringLiteral(":/schema.sql"));
        if (!schema.open(QIODevice::ReadOnly))
            throw platform::Failure(QStringLiteral("The program's schema is missing"));
        const EngineFile database(QStringLiteral(":memory:"), EngineFile::Mode::Create);
        database.run(QString::fromUtf8(schema.readAll()));
        for (const QString& statement : db::statementsBackTo(version))
            database.run(statement);
        catalogues.insert(version, catalogueOf(database));
    }
    return catalogues.value(version);
}

const SchemaObject* find(const QList<SchemaObject>& objects, const SchemaObject& wanted) {
    for (const SchemaObject& object : objects)
        if (object.type == wanted.type &&
            object.name.compare(wanted.name, Qt::CaseInsensitive) == 0)
            return &object;
    return nullptr;
}

// How a table's columns differ: the first column whose name or kind is not the program's.
QString columnDifference(const SchemaObject& ours, const SchemaObject& theirs) {
    QString text =
        QStringLiteral("%1 oszlopai nem egyeznek a program adatbázisáéval").arg(named(ours));
    for (qsizetype i = 0; i < std::max(ours.shape.size(), theirs.shape.size()); ++i) {
        const QString expected = ours.shape.value(i).section(u' ', 0, 0);
        const QString found = theirs.shape.value(i).section(u' ', 0, 0);
        if (ours.shape.value(i).compare(theirs.shape.value(i), Qt::CaseInsensitive) == 0)
            continue;
        if (found.isEmpty())
            return text + QStringLiteral(" (hiányzik a(z) %1 oszlop)").arg(expected);
        if (expected.isEmpty())
            return text + QStringLiteral(" (fölösleges a(z) %1 oszlop)").arg(found);
        if (expected.compare(found, Qt::CaseInsensitive) != 0)
            return text + QStringLiteral(" (a(z) %1. oszlop %2 helyett %3)")
                              .arg(QString::number(i + 1), expected, found);
        return text + QStringLiteral(" (a(z) %1 oszlop típusa más)").arg(expected);
    }
    return text;
}

// The first object of the file that differs from the program's schema at the file's version.
std::optional<QString> unlikeTheSchema(const EngineFile& file, int version) {
    const QList<SchemaObject> ours = programCatalogue(version);
    const QList<SchemaObject> theirs = catalogueOf(file);
    for (const SchemaObject& object : ours) {
        const SchemaObject* found = find(theirs, object);
        if (!found)
            return QStringLiteral("hiányzik belőle %1").arg(named(object));
        if (lowered(found->shape) == lowered(object.shape))
            continue;
        if (object.type == u"table")
            return columnDifference(object, *found);
        return QStringLiteral("%1 nem egyezik a program adatbázisáéval").arg(named(object));
    }
    for (const SchemaObject& object : theirs)
        if (!find(ours, object))
            return QStringLiteral("olyat is tartalmaz, ami a program adatbázisában nincs: %1")
                .arg(named(object));
    return std::nullopt;
}

}  // namespace

QString heldDatabaseText(const QString& path, const QString& reason) {
    return QStringLiteral(
               "Az adatbázist (%1) egy másik program használja (például egy mentő- "
               "vagy víruskereső program, vagy a program egy másik gépen futó "
               "példánya), és %2 másodperc alatt sem engedte el. Zárja be azt a "
               "programot, és próbálja újra! ")
               .arg(shown(path))
               .arg(db::kBusyTimeoutMilliseconds / 1000) +
           kUnchanged + QStringLiteral(" (") + reason + u')';
}

QString damagedDatabaseText(const QString& path, const QString& damage) {
    return QStringLiteral(
               "Az adatbázis (%1) sérült: az adatbázis-kezelő ellenőrzése hibát talált "
               "benne (%2).")
        .arg(shown(path), damage);
}

Finding examineDatabase(const QString& path) {
    if (std::optional<QString> refusal = accessRefusal(path))
        return {Finding::Kind::Inaccessible, *refusal};
    try {
        const EngineFile file(path, EngineFile::Mode::Write);
        // The first read rolls back an interrupted write, under the engine's own locking.
        if (std::optional<QString> damage = checkFinding(file, QStringLiteral("quick_check")))
            return {Finding::Kind::Damaged, damagedDatabaseText(path, *damage)};
        return {};
    } catch (const EngineFileFailure& failure) {
        return findingOfFailure(path, failure);
    }
}

std::optional<QString> damageOf(const QString& path) {
    if (!QFileInfo(path).isFile())
        return QStringLiteral("a fájl nem található");
    try {
        const std::optional<QString> finding = checkFinding(
            EngineFile(path, EngineFile::Mode::Read), QStringLiteral("integrity_check"));
        if (!finding)
            return std::nullopt;
        return QStringLiteral("sérült (%1)").arg(*finding);
    } catch (const EngineFileFailure& failure) {
        return QStringLiteral("sérült, vagy nem adatbázis (%1)").arg(failure.engineText());
    }
}

std::optional<QString> unfitForRestore(const QString& path) {
    if (std::optional<QString> damage = damageOf(path))
        return damage;
    try {
        const int version = db::schemaVersionOfFile(path);
        db::refuseNewerSchema(version, path);
        return unlikeTheSchema(EngineFile(path, EngineFile::Mode::Read), version);
    } catch (const platform::Failure& failure) {
        return failure.text();
    }
}

}  // namespace backup
