// Reading code-table files and replacing the code tables of a database that holds records: by
// the routine itself and through "velkor --import-codes".

#include "codetables/code_table_file.h"
#include "codetables/import_codes.h"
#include "db/connection.h"
#include "db/query.h"
#include "platform/failure.h"
#include "support/program_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using codetables::CodeTableFile;
using codetables::MalformedLine;
using testsupport::ProgramFolder;

namespace {

const QByteArray kSettlements =
    "# Two settlements\nid\tnev\tnevstr\n"
    "13578\tBudapest\t13578 Budapest (Budapest)\n"
    "23065\tOrosháza\t23065 Orosháza (Békés)\n";
const QByteArray kPostalCodes = "id\n1011\n5900\n";

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every row of a statement's result, its values joined by "|".
QStringList rowsOf(const QString& statement) {
    QStringList rows;
    for (db::Query query(statement); !query.eof(); query.next()) {
        QStringList values;
        for (int i = 0; i < query.fieldCount(); ++i)
            values.append(query.text(i));
        rows.append(values.join(u'|'));
    }
    return rows;
}

int rowCount(const QString& table) {
    return rowsOf(QStringLiteral("select count(1) from ") + table).value(0).toInt();
}

// The tables an import may change and the records it must keep.
QStringList snapshot() {
    QStringList rows;
    for (const char* table :
         {"Torzs_IRSZ", "Torzs_KSHTELEPULES", "Torzs_TermekCsoport", "AdatlapInt", "AdatlapBR"})
        rows += rowsOf(QStringLiteral("select * from %1 order by 1").arg(QLatin1String(table)));
    return rows;
}

// A record seated in Érd, and one in Budapest with a purchase item.
void insertRecords() {
    const QList<QVariantList> records = {
        {QStringLiteral("12345676"), 2007, QStringLiteral("1"), QStringLiteral("13"),
         QStringLiteral("30988"), QStringLiteral("2030")},
        {QStringLiteral("11111111"), 2007, QStringLiteral("2"), QStringLiteral("01"),
         QStringLiteral("13578"), QStringLiteral("1011")}};
    for (const QVariantList& record : records)
        db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, Adatszolgev, "
                                   "Adatszolgnegyedev, Sz_megyekod, Sz_telepuleskod, Irsz) "
                                   "values (?, ?, ?, ?, ?, ?)"),
                    record);
    db::execute(QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, "
                               "Tetelsorszam, Mennyisegiegyseg) values (?, ?, ?, ?, ?)"),
                {QStringLiteral("11111111"), 2007, QStringLiteral("2"), 1, QStringLiteral("01")});
}

// What the import prints for the folder with kSettlements and kPostalCodes over the records of
// insertRecords.
QStringList expectedReport(int postalCodesBefore, int settlementsBefore) {
    return {QStringLiteral("Torzs_IRSZ: %1 → 2 sor").arg(postalCodesBefore),
            QStringLiteral("Torzs_KSHTELEPULES: %1 → 2 sor").arg(settlementsBefore),
            QStringLiteral("Már nem létező kódra hivatkozik (tábla, kulcs, oszlop, kód):"),
            QStringLiteral("AdatlapInt\t12345676/2007/1\tSz_telepuleskod\t30988"),
            QStringLiteral("AdatlapInt\t12345676/2007/1\tIrsz\t2030")};
}

}  // namespace

class TestImportCodes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("brokenLine");
        QTest::addColumn<QString>("reason");
        QTest::newRow("notes, empty lines, CR LF, mark, no last newline")
            << QByteArray("\xEF\xBB\xBF# note\r\n\r\nid\tnev\r\n01\tÉrd\r\n\n02\t\r\n03\tx")
            << QStringList{"id", "nev"} << 3 << 0 << QString();
        QTest::newRow("values short") << QByteArray("id\tnev\n01\tA\n02\n") << QStringList() << 0
                                      << 3 << "1 érték áll 2 oszlop helyett";
        QTest::newRow("values over") << QByteArray("id\n01\t\n") << QStringList() << 0 << 2
                                     << "2 érték áll 1 oszlop helyett";
        QTest::newRow("not UTF-8") << QByteArray("id\tnev\n01\t\xC9rd\n") << QStringList() << 0 << 2
                                   << "nem UTF-8 kódolású szöveg";
        QTest::newRow("control character")
            << QByteArray("id\n0\r1\n") << QStringList() << 0 << 2 << "vezérlőkaraktert tartalmaz";
        QTest::newRow("no column line") << QByteArray("# only a note\n") << QStringList() << 0 << 2
                                        << "nincs benne az oszlopokat megnevező sor";
        QTest::newRow("empty file")
            << QByteArray() << QStringList() << 0 << 1 << "nincs benne az oszlopokat megnevező sor";
        QTest::newRow("column name with a quote") << QByteArray("id\tnev\"\n") << QStringList() << 0
                                                  << 1 << "érvénytelen oszlopnév: \"nev\"\"";
        QTest::newRow("empty column name")
            << QByteArray("id\t\n") << QStringList() << 0 << 1 << "érvénytelen oszlopnév: \"\"";
        QTest::newRow("column twice") << QByteArray("ID\tnev\tid\n") << QStringList() << 0 << 1
                                      << "kétszer szereplő oszlop: id";
    }

    void parse() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, columns);
        QFETCH(int, rows);
        QFETCH(int, brokenLine);
        QFETCH(QString, reason);
        try {
            const CodeTableFile file = codetables::parseCodeTable(bytes);
            QCOMPARE(brokenLine, 0);
            QCOMPARE(file.columns, columns);
            QCOMPARE(file.rows.size(), rows);
            QCOMPARE(file.rows.last(), (QStringList{"03", "x"}));
            QCOMPARE(file.lines, (QList<int>{4, 6, 7}));
        } catch (const MalformedLine& malformed) {
            QCOMPARE(malformed.line(), brokenLine);
            QCOMPARE(malformed.reason(), reason);
        }
    }

    // Records whose codes the new lists drop are kept and listed; the tables hold the new lists.
    void importKeepsRecordsAndListsThoseLeftWithoutCode() {
        ProgramFolder folder;
        insertRecords();
        const QStringList records = rowsOf(QStringLiteral("select * from AdatlapInt order by 1"));
        QTemporaryDir codes;
        writeFile(codes.filePath(QStringLiteral("Torzs_KSHTELEPULES.tsv")), kSettlements);
        writeFile(codes.filePath(QStringLiteral("Torzs_IRSZ.tsv")), kPostalCodes);
        writeFile(codes.filePath(QStringLiteral("olvass.txt")), "not a code table");
        const QStringList expected = expectedReport(rowCount(QStringLiteral("Torzs_IRSZ")),
                                                    rowCount(QStringLiteral("Torzs_KSHTELEPULES")));

        QCOMPARE(codetables::reportLines(codetables::importCodeTables(codes.path())), expected);
        QCOMPARE(rowsOf(QStringLiteral("select * from Torzs_KSHTELEPULES order by id")),
                 (QStringList{"13578|Budapest|13578 Budapest (Budapest)",
                              "23065|Orosháza|23065 Orosháza (Békés)"}));
        QCOMPARE(rowsOf(QStringLiteral("select id from Torzs_IRSZ order by id")),
                 (QStringList{"1011", "5900"}));
        QCOMPARE(rowsOf(QStringLiteral("select * from AdatlapInt order by 1")), records);
        QCOMPARE(rowCount(QStringLiteral("AdatlapBR")), 1);
    }

    void brokenFileChangesNothing_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("values short")
            << "Torzs_KSHTELEPULES.tsv" << QByteArray("id\tnev\tnevstr\n13578\tBudapest\n")
            << "Torzs_KSHTELEPULES.tsv, 2. sor: 2 érték áll 3 oszlop helyett";
        QTest::newRow("id too long")
            << "Torzs_KSHTELEPULES.tsv" << QByteArray("id\tnev\tnevstr\n135780\tBudapest\tx\n")
            << "Torzs_KSHTELEPULES.tsv, 2. sor: \"135780\" nem fér a(z) id oszlopba "
               "(legfeljebb 5 karakter)";
        // Refused by the database while Torzs_IRSZ has already been replaced.
        QTest::newRow("id twice") << "Torzs_KSHTELEPULES.tsv"
                                  << QByteArray("id\tnev\tnevstr\n13578\tA\ta\n\n13578\tB\tb\n")
                                  << "Torzs_KSHTELEPULES.tsv, 4. sor: UNIQUE constraint failed: "
                                     "Torzs_KSHTELEPULES.id";
        QTest::newRow("group id not a number")
            << "Torzs_TermekCsoport.tsv" << QByteArray("id\tnev\n12a\tx\n")
            << "Torzs_TermekCsoport.tsv, 2. sor: \"12a\" nem egész szám (id oszlop)";
        QTest::newRow("unknown column")
            << "torzs_kshtelepules.tsv" << QByteArray("# note\nid\tnev\tmegye\n")
            << "torzs_kshtelepules.tsv, 2. sor: a(z) Torzs_KSHTELEPULES táblának nincs megye "
               "oszlopa";
        QTest::newRow("not UTF-8") << "Torzs_KSHTELEPULES.tsv" << QByteArray("id\n\xff\n")
                                   << "Torzs_KSHTELEPULES.tsv, 2. sor: nem UTF-8 kódolású szöveg";
        QTest::newRow("no rows") << "Torzs_KSHTELEPULES.tsv" << QByteArray("id\tnev\tnevstr\n")
                                 << "Torzs_KSHTELEPULES.tsv: nincs benne egyetlen kód sem";
        QTest::newRow("a data table") << "AdatlapInt.tsv" << QByteArray("Adosajat\n99999999\n")
                                      << "AdatlapInt.tsv: nincs ilyen kódtábla az adatbázisban";
    }

    void brokenFileChangesNothing() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        ProgramFolder folder;
        insertRecords();
        const QStringList before = snapshot();
        QTemporaryDir codes;
        writeFile(codes.filePath(QStringLiteral("Torzs_IRSZ.tsv")), kPostalCodes);
        writeFile(codes.filePath(fileName), bytes);
        try {
            codetables::importCodeTables(codes.path());
            QFAIL("the import went through");
        } catch (const platform::Failure& failure) {
            QCOMPARE(failure.text(), message);
        }
        QCOMPARE(snapshot(), before);
    }

    // The program's command line, run on a copy of the program in a program folder of its own;
    // the folder is named relative to where the program is started.
    void importThroughTheCommandLine() {
        ProgramFolder folder(false);
        const QString program = folder.file(QStringLiteral("velkor"));
        QVERIFY(QFile::copy(qEnvironmentVariable("VK_PROGRAM_DIR") + QStringLiteral("/velkor"),
                            program));
        db::openConnection(folder.databasePath());
        insertRecords();
        const QStringList expected = expectedReport(rowCount(QStringLiteral("Torzs_IRSZ")),
                                                    rowCount(QStringLiteral("Torzs_KSHTELEPULES")));
        db::closeConnection();
        QTemporaryDir start;
        QVERIFY(QDir(start.path()).mkdir(QStringLiteral("uj")));
        writeFile(start.filePath(QStringLiteral("uj/Torzs_KSHTELEPULES.tsv")), kSettlements);
        writeFile(start.filePath(QStringLiteral("uj/Torzs_IRSZ.tsv")), kPostalCodes);

        QProcess velkor;
        velkor.setWorkingDirectory(start.path());
        velkor.start(program, {QStringLiteral("--import-codes"), QStringLiteral("uj")});
        QVERIFY(velkor.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(velkor.readAllStandardError()), QString());
        QCOMPARE(velkor.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(velkor.readAllStandardOutput()), expected.join(u'\n') + u'\n');

        // A broken line: refused with file and line, the database as the first import left it.
        writeFile(start.filePath(QStringLiteral("uj/Torzs_IRSZ.tsv")), "id\n1011\n5900\t1\n");
        db::openConnection(folder.databasePath());
        const QStringList before = snapshot();
        db::closeConnection();
        velkor.start(program, {QStringLiteral("--import-codes=uj")});
        QVERIFY(velkor.waitForFinished(30000));
        QCOMPARE(velkor.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(velkor.readAllStandardError()),
                 QStringLiteral("Torzs_IRSZ.tsv, 3. sor: 2 érték áll 1 oszlop helyett\n"));
        QCOMPARE(velkor.readAllStandardOutput(), QByteArray());
        db::openConnection(folder.databasePath());
        QCOMPARE(snapshot(), before);
    }
};

QTEST_GUILESS_MAIN(TestImportCodes)
#include "test_import_codes.moc"
