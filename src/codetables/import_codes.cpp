#include "import_codes.h"

#include "code_table_file.h"
#include "db/connection.h"
#include "db/query.h"
#include "platform/failure.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace codetables {

namespace {

using platform::Failure;

// A column of a code table as the database declares it.
struct Column {
    QString name;
    int width = 0;  // 0: no width declared
    bool wholeNumber = false;
};

// One file of the folder, read and checked, and the table it replaces.
struct TableFile {
    QString fileName;
    QString table;
    CodeTableFile contents;
};

// A coded column of a data table and the code table that holds its codes. A purchase item's
// group code belongs to the product or the service groups by the item's kind.
struct Reference {
    const char* table;
    const char* column;
    const char* codeTable;
    const char* codeColumn;
    const char* itemKind = nullptr;
};

constexpr Reference kReferences[] = {
    {"AdatlapInt", "Adatszolgnegyedev", "Torzs_Negyedev", "ID"},
    {"AdatlapInt", "Sz_megyekod", "Torzs_KSHMEGYE", "ID"},
    {"AdatlapInt", "Sz_telepuleskod", "Torzs_KSHTELEPULES", "id"},
    {"AdatlapInt", "Irsz", "Torzs_IRSZ", "id"},
    {"AdatlapInt", "Intag", "torzs_AH_SZAKAGAZAT", "id"},
    {"AdatlapInt", "Gazdfor", "Torzs_gazdfor", "ID"},
    {"AdatlapBR", "Beszerznegyedev", "Torzs_Negyedev", "ID"},
    {"AdatlapBR", "Beszerzho", "Torzs_ho", "ID"},
    {"AdatlapBR", "Termekszolg", "Torzs_Termekszolg", "ID"},
    {"AdatlapBR", "Vtszszolgkod", "Torzs_TermekCsoport", "id", "1"},
    {"AdatlapBR", "Vtszszolgkod", "Torzs_SzolgaltatasCsoport", "id", "2"},
    {"AdatlapBR", "Mennyisegiegyseg", "Torzs_Mennyisegiegyseg", "ID"},
    {"AdatlapBR", "Beszerzforras", "Torzs_Beszerzesiforras", "ID"},
    {"AdatlapBR", "Felhasznter", "Torzs_Felhasznter", "ID"},
    {"AdatlapBR", "Artipus", "Torzs_Artipus", "ID"},
};

// The columns that name a record or an item in the report.
QString keyColumnsOf(const QString& table) {
    if (table == u"AdatlapInt")
        return QStringLiteral("Adosajat, Adatszolgev, Adatszolgnegyedev");
    return QStringLiteral("Adosajat, Beszerzev, Beszerznegyedev, Tetelsorszam");
}

Failure fileFailure(const QString& fileName, int line, const QString& reason) {
    return Failure(QStringLiteral("%1, %2. sor: %3").arg(fileName, QString::number(line), reason));
}

// The code tables of the database (names beginning with "torzs_" in any case), by lower-case
// name, spelled as the database spells them.
QHash<QString, QString> codeTablesOfDatabase() {
    QHash<QString, QString> tables;
    for (db::Query query(QStringLiteral("select name from sqlite_master where type = 'table' "
                                        "and lower(substr(name, 1, 6)) = 'torzs_'"));
         !query.eof(); query.next())
        tables.insert(query.text(0).toLower(), query.text(0));
    return tables;
}

QHash<QString, Column> columnsOf(const QString& table) {
    static const QRegularExpression width(QStringLiteral("\\((\\d+)\\)"));
    QHash<QString, Column> columns;
    for (db::Query query(QStringLiteral("select name, type from pragma_table_info(?)"), {table});
         !query.eof(); query.next()) {
        const QString type = query.text(1).toUpper();
        Column column{query.text(0)};
        column.width = width.match(type).captured(1).toInt();
        column.wholeNumber = type.startsWith(QStringLiteral("INT"));
        columns.insert(column.name.toLower(), column);
    }
    return columns;
}

bool isWholeNumber(const QString& value) {
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+$"));
    return number.match(value).hasMatch();
}

// Every column of the file is one of the table's, and every value fits its column.
void checkFitsTable(const TableFile& file) {
    const QHash<QString, Column> declared = columnsOf(file.table);
    QList<Column> columns;
    for (const QString& name : file.contents.columns) {
        if (!declared.contains(name.toLower()))
            throw fileFailure(file.fileName, file.contents.columnsLine,
                              QStringLiteral("a(z) %1 táblának nincs %2 oszlopa")
                                  .arg(file.table, platform::excerpt(name)));
        columns.append(declared.value(name.toLower()));
    }
    for (qsizetype row = 0; row < file.contents.rows.size(); ++row) {
        const QStringList& values = file.contents.rows.at(row);
        for (qsizetype i = 0; i < values.size(); ++i) {
            const Column& column = columns.at(i);
            const QString& value = values.at(i);
            if (column.width > 0 && value.size() > column.width)
                throw fileFailure(
                    file.fileName, file.contents.lines.at(row),
                    QStringLiteral("\"%1\" nem fér a(z) %2 oszlopba "
                                   "(legfeljebb %3 karakter)")
                        .arg(platform::excerpt(value), column.name, QString::number(column.width)));
            if (column.wholeNumber && !isWholeNumber(value))
                throw fileFailure(file.fileName, file.contents.lines.at(row),
                                  QStringLiteral("\"%1\" nem egész szám (%2 oszlop)")
                                      .arg(platform::excerpt(value), column.name));
        }
    }
}

// Reads the file of the folder, which must be a regular file there: a link may point only to
// another file of the same folder, as a device or a pipe might never end.
CodeTableFile readFile(const QDir& folder, const QFileInfo& entry) {
    const QString inFolder = folder.canonicalPath() + u'/';
    if (!entry.canonicalFilePath().startsWith(inFolder))
        throw Failure(
            QStringLiteral("%1: a mappán kívülre mutató hivatkozás").arg(entry.fileName()));
    if (!entry.isFile())
        throw Failure(QStringLiteral("%1: nem közönséges fájl").arg(entry.fileName()));
    QFile file(entry.filePath());
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("%1: %2").arg(entry.fileName(), file.errorString()));
    return parseCodeTable(file);
}

QList<TableFile> readFolder(const QString& folder) {
    const QDir dir(folder);
    if (!dir.exists())
        throw Failure(QStringLiteral("Nincs ilyen mappa: %1").arg(folder));
    const auto entries =
        dir.entryInfoList({QStringLiteral("*.tsv")}, QDir::Files | QDir::System, QDir::Name);
    if (entries.isEmpty())
        throw Failure(QStringLiteral("Nincs kódtábla-fájl (*.tsv) a mappában: %1").arg(folder));
    const QHash<QString, QString> codeTables = codeTablesOfDatabase();
    QList<TableFile> files;
    QSet<QString> tablesSeen;
    for (const QFileInfo& entry : entries) {
        const QString table = codeTables.value(entry.completeBaseName().toLower());
        if (table.isEmpty())
            throw Failure(
                QStringLiteral("%1: nincs ilyen kódtábla az adatbázisban").arg(entry.fileName()));
        if (tablesSeen.contains(table))
            throw Failure(QStringLiteral("%1: a(z) %2 tábla egy másik fájlban is szerepel")
                              .arg(entry.fileName(), table));
        tablesSeen.insert(table);
        TableFile file{entry.fileName(), table, {}};
        try {
            file.contents = readFile(dir, entry);
        } catch (const MalformedLine& malformed) {
            throw fileFailure(file.fileName, malformed.line(), malformed.reason());
        }
        checkFitsTable(file);
        // A list cut short after its column line would leave the editors nothing to offer.
        if (file.contents.rows.isEmpty())
            throw Failure(QStringLiteral("%1: nincs benne egyetlen kód sem").arg(file.fileName));
        files.append(file);
    }
    return files;
}

int rowCount(const QString& table) {
    return db::Query(QStringLiteral("select count(1) from %1").arg(db::quoteName(table)))
        .text(0)
        .toInt();
}

ReplacedTable replace(const TableFile& file) {
    ReplacedTable replaced{file.table, rowCount(file.table), 0};
    db::execute(QStringLiteral("delete from %1").arg(db::quoteName(file.table)));
    QStringList columns;
    for (const QString& column : file.contents.columns)
        columns.append(db::quoteName(column));
    const QString insert =
        QStringLiteral("insert into %1 (%2) values (%3)")
            .arg(db::quoteName(file.table), columns.join(QStringLiteral(", ")),
                 QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    for (qsizetype row = 0; row < file.contents.rows.size(); ++row) {
        QVariantList values;
        for (const QString& value : file.contents.rows.at(row))
            values.append(value);
        try {
            db::execute(insert, values);
        } catch (const Failure& refused) {
            throw fileFailure(file.fileName, file.contents.lines.at(row), refused.text());
        }
    }
    replaced.rowsAfter = rowCount(file.table);
    return replaced;
}

QList<DanglingCode> danglingCodes(const Reference& reference) {  // of one coded column
    const QString table = QString::fromLatin1(reference.table);
    const QString column = QString::fromLatin1(reference.column);
    const QString keys = keyColumnsOf(table);
    QString statement = QStringLiteral(
                            "select %1, r.%2 from %3 r where coalesce(r.%2, '') <> '' "
                            "and not exists (select 1 from %4 c where c.%5 = r.%2)")
                            .arg(keys, db::quoteName(column), db::quoteName(table),
                                 db::quoteName(QString::fromLatin1(reference.codeTable)),
                                 db::quoteName(QString::fromLatin1(reference.codeColumn)));
    QVariantList values;
    if (reference.itemKind) {
        statement += QStringLiteral(" and r.Termekszolg = ?");
        values.append(QString::fromLatin1(reference.itemKind));
    }
    statement += QStringLiteral(" order by ") + keys;
    QList<DanglingCode> dangling;
    for (db::Query query(statement, values); !query.eof(); query.next()) {
        QStringList key;
        const int keyCount = query.fieldCount() - 1;
        for (int i = 0; i < keyCount; ++i)
            key.append(query.text(i));
        dangling.append({table, key.join(u'/'), column, query.text(keyCount)});
    }
    return dangling;
}

// The stored codes missing from the code tables the files replace.
QList<DanglingCode> danglingCodes(const QList<TableFile>& files) {
    QList<DanglingCode> dangling;
    for (const Reference& reference : kReferences) {
        const bool replaced = std::any_of(files.cbegin(), files.cend(), [&](const TableFile& file) {
            return file.table.compare(QString::fromLatin1(reference.codeTable),
                                      Qt::CaseInsensitive) == 0;
        });
        if (replaced)
            dangling.append(danglingCodes(reference));
    }
    return dangling;
}

QString danglingLine(const DanglingCode& code) {
    return QStringLiteral("%1\t%2\t%3\t%4").arg(code.table, code.key, code.column, code.code);
}

Failure lostCodes(const QList<DanglingCode>& lost) {
    constexpr qsizetype kListed = 1000;
    QStringList lines = {QStringLiteral("A csere nem történt meg: %1 tárolt adat olyan kódra "
                                        "hivatkozik, amely az új kódtáblákból hiányzik (a "
                                        "--force kapcsolóval mégis lecserélhetők). Tábla, kulcs, "
                                        "oszlop, kód:")
                             .arg(lost.size())};
    for (qsizetype at = 0; at < std::min(lost.size(), kListed); ++at)
        lines.append(danglingLine(lost[at]));
    if (lost.size() > kListed)
        lines.append(QStringLiteral("… és további %1.").arg(lost.size() - kListed));
    return Failure(lines.join(u'\n'));
}

}  // namespace

ImportReport importCodeTables(const QString& folder, bool force) {
    const QList<TableFile> files = readFolder(folder);
    ImportReport report;
    db::inTransaction([&] {
        const QList<DanglingCode> before = danglingCodes(files);
        for (const TableFile& file : files)
            report.replaced.append(replace(file));
        report.dangling = danglingCodes(files);
        QSet<QString> danglingBefore;
        for (const DanglingCode& code : before)
            danglingBefore.insert(danglingLine(code));
        QList<DanglingCode> lost;
        std::copy_if(
            report.dangling.cbegin(), report.dangling.cend(), std::back_inserter(lost),
            [&](const DanglingCode& code) { return !danglingBefore.contains(danglingLine(code)); });
        if (!lost.isEmpty() && !force)
            throw lostCodes(lost);
    });
    return report;
}

QStringList reportLines(const ImportReport& report) {
    QStringList lines;
    for (const ReplacedTable& table : report.replaced)
        lines.append(QStringLiteral("%1: %2 → %3 sor")
                         .arg(table.table, QString::number(table.rowsBefore),
                              QString::number(table.rowsAfter)));
    if (report.dangling.isEmpty()) {
        lines.append(QStringLiteral("Minden tárolt adat létező kódra hivatkozik."));
        return lines;
    }
    lines.append(QStringLiteral("Már nem létező kódra hivatkozik (tábla, kulcs, oszlop, kód):"));
    for (const DanglingCode& code : report.dangling)
        lines.append(danglingLine(code));
    return lines;
}

}  // namespace codetables
