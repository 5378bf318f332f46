// Builds the shipped database from its text sources, and lays it into the program folder.
//
//   vk_makedb build SCHEMA.sql CODES_DIR OUT.mdb
//       a fresh database: the schema, then every CODES_DIR/<table>.tsv into <table>; beside it
//       the fingerprint of those code-table files
//   vk_makedb install GENERATED.mdb CODES_DIR DEST.mdb
//       copies the generated database to DEST; when DEST already holds user records it is kept
//       and its code tables are refreshed from CODES_DIR instead, as "velkor --import-codes" does
//
// The code-table files are read by the same routine as the program's own import.

#include "codetables/import_codes.h"
#include "codetables/upgrade.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/schema_version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <stdexcept>

namespace {

void fail(const QString& text) {
    throw std::runtime_error(text.toStdString());
}

QString readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1").arg(path));
    return QString::fromUtf8(file.readAll());
}

// Statements end with ";" at the end of a line; "--" lines are comments.
QStringList statementsOf(const QString& schema) {
    QStringList statements;
    QString current;
    for (const QString& line : schema.split(u'\n')) {
        if (line.trimmed().startsWith(QStringLiteral("--")))
            continue;
        current += line + u'\n';
        if (line.trimmed().endsWith(u';')) {
            statements.append(current.trimmed().chopped(1));
            current.clear();
        }
    }
    return statements;
}

void printLines(const QStringList& lines) {
    for (const QString& line : lines)
        std::printf("%s\n", line.toUtf8().constData());
}

// Beside the generated database: the fingerprint of its code tables, shipped with it so that a
// data folder made from it takes them for current.
QString shippedCodesNote(const QString& databasePath) {
    return QFileInfo(databasePath)
        .dir()
        .filePath(QFileInfo(QString::fromLatin1(codetables::kShippedCodesNote)).fileName());
}

void build(const QString& schemaPath, const QString& codesDir, const QString& outPath) {
    QFile::remove(outPath);
    QDir().mkpath(QFileInfo(outPath).absolutePath());
    // The connection opens only an existing file; an empty file is an empty database.
    QFile(outPath).open(QIODevice::WriteOnly);
    try {
        db::openConnection(outPath);
        db::inTransaction([&] {
            for (const QString& statement : statementsOf(readAll(schemaPath)))
                db::execute(statement);
            db::setSchemaVersion(db::kSchemaVersion);
        });
        codetables::importCodeTables(codesDir);
        db::closeConnection();
        codetables::noteCodeTables(codesDir, shippedCodesNote(outPath));
    } catch (...) {
        db::closeConnection();
        QFile::remove(outPath);
        throw;
    }
}

enum class Contents { UserRecords, Pristine, NotOurs };

// A database holds user records when either of the two data tables has a row; one that cannot be
// read as ours at all is not ours to change.
Contents contentsOf(const QString& path) {
    try {
        db::openConnection(path);
        const bool records = db::Query(QStringLiteral("select (select count(*) from AdatlapInt) "
                                                      "+ (select count(*) from AdatlapBR)"))
                                 .text(0)
                                 .toLongLong() > 0;
        return records ? Contents::UserRecords : Contents::Pristine;
    } catch (const std::exception&) {
        db::closeConnection();
        return Contents::NotOurs;
    }
}

void install(const QString& generated, const QString& codesDir, const QString& dest) {
    QDir().mkpath(QFileInfo(dest).absolutePath());
    if (QFileInfo::exists(dest)) {
        switch (contentsOf(dest)) {
            case Contents::UserRecords:
                std::printf("%s holds user records; kept, its code tables refreshed:\n",
                            qPrintable(dest));
                // The shipped lists are taken as they are; what they lost is listed.
                printLines(codetables::reportLines(codetables::importCodeTables(codesDir, true)));
                db::closeConnection();
                return;
            case Contents::NotOurs:
                std::printf("%s is not a database of this program; kept as it is\n",
                            qPrintable(dest));
                return;
            case Contents::Pristine:
                db::closeConnection();
                QFile::remove(dest);
        }
    }
    if (!QFile::copy(generated, dest))
        fail(QStringLiteral("cannot copy %1 to %2").arg(generated, dest));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    try {
        if (args.size() == 5 && args[1] == u"build")
            build(args[2], args[3], args[4]);
        else if (args.size() == 5 && args[1] == u"install")
            install(args[2], args[3], args[4]);
        else
            fail(QStringLiteral(
                "usage: vk_makedb build SCHEMA CODES OUT | install GENERATED CODES DEST"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vk_makedb: %s\n", e.what());
        return 1;
    }
    return 0;
}
