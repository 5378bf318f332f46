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

using namespace Qt::StringLiterals;
using codetables::CodeTableFile;
using codetables::MalformedLine;
using testsupport::ProgramFolder;
using testsupport::rowsOf;

namespace {

const QByteArray kSettlements =
    "# Two settlements\nid\tnev\tnevstr\n"
    "13578\tBudapest\t13578 Budapest (Budapest)\n"
    "23065\tOrosháza\t23065 Orosháza (Békés)\n";
const QByteArray kPostalCodes = "id\n1011\n5900\n";

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

}  // namespace

class TestImportCodes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parseWellFormed() {
        const CodeTableFile file = codetables::parseCodeTable(
            "\xEF\xBB\xBF# note\r\n\r\nid\tnev\r\n01\tÉrd\r\n\n02\t\r\n03\tx");
        QCOMPARE(file.columns, (QStringList{u"id"_s, u"nev"_s}));
        QCOMPARE(file.rows,
                 (QList<QStringList>{{u"01"_s, u"Érd"_s}, {u"02"_s, u""_s}, {u"03"_s, u"x"_s}}));
        QCOMPARE(file.lines, (QList<int>{4, 6, 7}));
    }

    void parseBrokenLine_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("values short")
            << QByteArray("id\tnev\n01\tA\n02\n") << 3 << "1 érték áll 2 oszlop helyett";
        QTest::newRow("not UTF-8")
            << QByteArray("id\tnev\n01\t\xC9rd\n") << 2 << "nem UTF-8 kódolású szöveg";
        QTest::newRow("control character")
            << QByteArray("id\n0\r1\n") << 2 << "vezérlőkaraktert tartalmaz";
        QTest::newRow("no column line")
            << QByteArray("# a note\n") << 2 << "nincs benne az oszlopokat megnevező sor";
        QTest::newRow("column name with a quote")
            << QByteArray("id\tnev\"\n") << 1 << "érvénytelen oszlopnév: \"nev\"\"";
        QTest::newRow("column twice")
            << QByteArray("ID\tnev\tid\n") << 1 << "kétszer szereplő oszlop: id";
    }

    void parseBrokenLine() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, reason);
        try {
            codetables::parseCodeTable(bytes);
            QFAIL("the file was read");
        } catch (const MalformedLine& malformed) {
            QCOMPARE(malformed.line(), line);
            QCOMPARE(malformed.reason(), reason);
        }
    }

    void brokenFileChangesNothing_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        // target: the file is a link to it, or a pipe; bytes are written otherwise.
        QTest::addColumn<QString>("target");
        QTest::newRow("id too long")
            << "Torzs_KSHTELEPULES.tsv" << QByteArray("id\tnev\tnevstr\n135780\tBudapest\tx\n")
            << "Torzs_KSHTELEPULES.tsv, 2. sor: \"135780\" nem fér a(z) id oszlopba "
               "(legfeljebb 5 karakter)"
            << QString();
        // Refused by the database after Torzs_IRSZ has been replaced.
        QTest::newRow("id twice") << "Torzs_KSHTELEPULES.tsv"
                                  << QByteArray("id\tnev\tnevstr\n13578\tA\ta\n\n13578\tB\tb\n")
                                  << "Torzs_KSHTELEPULES.tsv, 4. sor: UNIQUE constraint failed: "
                                     "Torzs_KSHTELEPULES.id"
                                  << QString();
        QTest::newRow("group id not a number")
            << "Torzs_TermekCsoport.tsv" << QByteArray("id\tnev\n12a\tx\n")
            << "Torzs_TermekCsoport.tsv, 2. sor: \"12a\" nem egész szám (id oszlop)" << QString();
        QTest::newRow("unknown column")
            << "torzs_kshtelepules.tsv" << QByteArray("# note\nid\tnev\tmegye\n")
            << "torzs_kshtelepules.tsv, 2. sor: a(z) Torzs_KSHTELEPULES táblának nincs megye "
               "oszlopa"
            << QString();
        QTest::newRow("no rows") << "Torzs_KSHTELEPULES.tsv" << QByteArray("id\tnev\tnevstr\n")
                                 << "Torzs_KSHTELEPULES.tsv: nincs benne egyetlen kód sem"
                                 << QString();
        QTest::newRow("a data table")
            << "AdatlapInt.tsv" << QByteArray("Adosajat\n99999999\n")
            << "AdatlapInt.tsv: nincs ilyen kódtábla az adatbázisban" << QString();
        QTest::newRow("line over 64 KiB")
            << "Torzs_IRSZ.tsv"
            << "id\n" + QByteArray(70000, '1') + "\n"
            << "Torzs_IRSZ.tsv, 2. sor: hosszabb 64 KiB-nál" << QString();
        QTest::newRow("long value quoted short")
            << "Torzs_KSHTELEPULES.tsv"
            << "id\tnev\tnevstr\n" + QByteArray(200, '1') + "\tx\ty\n"
            << u"Torzs_KSHTELEPULES.tsv, 2. sor: \""_s + QString(79, u'1') +
                   u"…\" nem fér a(z) id oszlopba (legfeljebb 5 karakter)"_s
            << QString();
        QTest::newRow("link to a device") << "Torzs_KSHTELEPULES.tsv" << QByteArray()
                                          << "Torzs_KSHTELEPULES.tsv: a mappán kívülre mutató "
                                             "hivatkozás"
                                          << "/dev/zero";
        QTest::newRow("pipe") << "Torzs_KSHTELEPULES.tsv" << QByteArray()
                              << "Torzs_KSHTELEPULES.tsv: nem közönséges fájl"
                              << "fifo";
        // The postal codes lose 2030 as well.
        QTest::newRow("codes still referred to")
            << "Torzs_Mennyisegiegyseg.tsv" << QByteArray("ID\tNev\n02\tkg\n")
            << "A csere nem történt meg: 2 tárolt adat olyan kódra hivatkozik, amely az új "
               "kódtáblákból hiányzik (a --force kapcsolóval mégis lecserélhetők). Tábla, kulcs, "
               "oszlop, kód:\nAdatlapInt\t12345676/2007/1\tIrsz\t2030\n"
               "AdatlapBR\t11111111/2007/2/1\tMennyisegiegyseg\t01"
            << QString();
    }

    void brokenFileChangesNothing() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(QString, target);
        ProgramFolder folder;
        insertRecords();
        const QStringList before = snapshot();
        QTemporaryDir codes;
        QVERIFY(
            testsupport::writeFile(codes.filePath(QStringLiteral("Torzs_IRSZ.tsv")), kPostalCodes));
        QVERIFY(testsupport::placeFile(codes.filePath(fileName), target, bytes));
        try {
            codetables::importCodeTables(codes.path());
            QFAIL("the import went through");
        } catch (const platform::Failure& failure) {
            QCOMPARE(failure.text(), message);
        }
        QCOMPARE(snapshot(), before);
    }

    // Run on a copy of the program in a program folder of its own, the code folder named
    // relative to where the program is started: forced, records whose codes the new lists drop
    // are kept and listed, the tables hold the new lists; then a broken line changes nothing.
    void importThroughTheCommandLine() {
        ProgramFolder folder(false);
        const QString program = folder.copyProgram();
        db::openConnection(folder.databasePath());
        insertRecords();
        const QStringList records = rowsOf(QStringLiteral("select * from AdatlapInt order by 1"));
        const QStringList counts = rowsOf(QStringLiteral(
            "select (select count(1) from Torzs_IRSZ), (select count(1) from Torzs_KSHTELEPULES)"));
        db::closeConnection();
        QTemporaryDir start;
        QVERIFY(QDir(start.path()).mkdir(QStringLiteral("uj")));
        QVERIFY(testsupport::writeFile(start.filePath(QStringLiteral("uj/Torzs_KSHTELEPULES.tsv")),
                                       kSettlements));
        QVERIFY(testsupport::writeFile(start.filePath(QStringLiteral("uj/Torzs_IRSZ.tsv")),
                                       kPostalCodes));
        QVERIFY(testsupport::writeFile(start.filePath(QStringLiteral("uj/olvass.txt")),
                                       "not a code table"));

        QProcess velkor;
        velkor.setWorkingDirectory(start.path());
        velkor.start(program, {QStringLiteral("--force"), QStringLiteral("--import-codes"),
                               QStringLiteral("uj")});
        QVERIFY(velkor.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(velkor.readAllStandardError()), QString());
        QCOMPARE(velkor.exitCode(), 0);
        const QStringList before = counts.first().split(u'|');
        QCOMPARE(QString::fromUtf8(velkor.readAllStandardOutput()).split(u'\n'),
                 (QStringList{QStringLiteral("Torzs_IRSZ: %1 → 2 sor").arg(before.at(0)),
                              QStringLiteral("Torzs_KSHTELEPULES: %1 → 2 sor").arg(before.at(1)),
                              u"Már nem létező kódra hivatkozik (tábla, kulcs, oszlop, kód):"_s,
                              u"AdatlapInt\t12345676/2007/1\tSz_telepuleskod\t30988"_s,
                              u"AdatlapInt\t12345676/2007/1\tIrsz\t2030"_s, u""_s}));
        db::openConnection(folder.databasePath());
        QCOMPARE(rowsOf(QStringLiteral("select * from Torzs_KSHTELEPULES order by id")),
                 (QStringList{u"13578|Budapest|13578 Budapest (Budapest)"_s,
                              u"23065|Orosháza|23065 Orosháza (Békés)"_s}));
        QCOMPARE(rowsOf(QStringLiteral("select * from Torzs_IRSZ order by id")),
                 (QStringList{u"1011"_s, u"5900"_s}));
        QCOMPARE(rowsOf(QStringLiteral("select * from AdatlapInt order by 1")), records);
        const QStringList afterFirst = snapshot();
        db::closeConnection();

        QVERIFY(testsupport::writeFile(start.filePath(QStringLiteral("uj/Torzs_IRSZ.tsv")),
                                       "id\n1011\n5900\t1\n"));
        velkor.start(program, {QStringLiteral("--import-codes=uj")});
        QVERIFY(velkor.waitForFinished(30000));
        QCOMPARE(velkor.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(velkor.readAllStandardError()),
                 QStringLiteral("Torzs_IRSZ.tsv, 3. sor: 2 érték áll 1 oszlop helyett\n"));
        QCOMPARE(velkor.readAllStandardOutput(), QByteArray());
        db::openConnection(folder.databasePath());
        QCOMPARE(snapshot(), afterFirst);
    }
};

QTEST_GUILESS_MAIN(TestImportCodes)
#include "test_import_codes.moc"
