// Builds the shipped database from its text sources, and lays it into the program folder.
//
//   vk_makedb build SCHEMA.sql CODES_DIR OUT.mdb
//       a fresh database: the schema, then every CODES_DIR/<table>.tsv into <table>
//   vk_makedb install GENERATED.mdb DEST.mdb
//       copies the generated database to DEST unless DEST already holds user records
//
// A .tsv file holds lines of tab-separated values in UTF-8; lines starting with "#" are notes,
// the first other line names the columns.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <cstdio>
#include <stdexcept>

namespace {

void fail(const QString& text) {
    throw std::runtime_error(text.toStdString());
}

void exec(QSqlQuery& query, const QString& statement) {
    if (!query.exec(statement))
        fail(statement + QStringLiteral(": ") + query.lastError().text());
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

void loadCodeTable(QSqlDatabase& db, const QFileInfo& file) {
    const QString table = file.completeBaseName();
    QStringList columns;
    QSqlQuery insert(db);
    int lineNumber = 0;
    for (const QString& raw : readAll(file.filePath()).split(u'\n')) {
        ++lineNumber;
        const QString line = raw.endsWith(u'\r') ? raw.chopped(1) : raw;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        if (columns.isEmpty()) {
            columns = fields;
            QStringList marks(columns.size(), QStringLiteral("?"));
            if (!insert.prepare(QStringLiteral("insert into %1 (%2) values (%3)")
                                    .arg(table, columns.join(u','), marks.join(u','))))
                fail(file.fileName() + QStringLiteral(": ") + insert.lastError().text());
            continue;
        }
        if (fields.size() != columns.size())
            fail(QStringLiteral("%1:%2: %3 values for %4 columns")
                     .arg(file.fileName())
                     .arg(lineNumber)
                     .arg(fields.size())
                     .arg(columns.size()));
        for (const QString& field : fields)
            insert.addBindValue(field);
        if (!insert.exec())
            fail(QStringLiteral("%1:%2: %3")
                     .arg(file.fileName())
                     .arg(lineNumber)
                     .arg(insert.lastError().text()));
    }
}

void build(const QString& schemaPath, const QString& codesDir, const QString& outPath) {
    QFile::remove(outPath);
    QDir().mkpath(QFileInfo(outPath).absolutePath());
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("build"));
        db.setDatabaseName(outPath);
        if (!db.open())
            fail(db.lastError().text());
        QSqlQuery query(db);
        exec(query, QStringLiteral("begin"));
        for (const QString& statement : statementsOf(readAll(schemaPath)))
            exec(query, statement);
        const auto files =
            QDir(codesDir).entryInfoList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name);
        for (const QFileInfo& file : files)
            loadCodeTable(db, file);
        exec(query, QStringLiteral("commit"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("build"));
}

// A database holds user records when either of the two data tables has a row, or when it cannot
// be read as ours at all (then it is not ours to replace either).
bool holdsUserRecords(const QString& path) {
    bool holds = true;
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            holds = !query.exec(QStringLiteral("select (select count(*) from AdatlapInt) + (select "
                                               "count(*) from AdatlapBR)")) ||
                    !query.next() || query.value(0).toLongLong() > 0;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return holds;
}

void install(const QString& generated, const QString& dest) {
    QDir().mkpath(QFileInfo(dest).absolutePath());
    if (QFileInfo::exists(dest)) {
        if (holdsUserRecords(dest)) {
            std::printf("%s holds user records; kept as it is\n", qPrintable(dest));
            return;
        }
        QFile::remove(dest);
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
        else if (args.size() == 4 && args[1] == u"install")
            install(args[2], args[3]);
        else
            fail(
                QStringLiteral("usage: vk_makedb build SCHEMA CODES OUT | install GENERATED DEST"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vk_makedb: %s\n", e.what());
        return 1;
    }
    return 0;
}
