#include "db/connection.h"
#include "db/query.h"
#include "db/table.h"
#include "db/values.h"
#include "platform/failure.h"
#include "support/failure_text.h"
#include "support/program_folder.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using db::DeclaredColumn;
using db::Query;
using db::Table;
using db::ValueKind;
using testsupport::failureText;
using testsupport::ProgramFolder;

namespace {

void insertInstitution(const QString& adosajat, const QString& name, int year, const QString& q) {
    db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                               "Adatszolgnegyedev) values (?, ?, ?, ?)"),
                {adosajat, name, year, q});
}

}  // namespace

class TestDb : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); }

    void floatText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 1250.0 << "1250";
        QTest::newRow("half") << 1250.5 << "1250,5";
        QTest::newRow("below one") << 0.25 << "0,25";
        QTest::newRow("15 digits") << 1234567.89 << "1234567,89";
        QTest::newRow("rounded to 15") << 0.1 + 0.2 << "0,3";
        QTest::newRow("negative") << -2.5 << "-2,5";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("smallest fixed") << 0.0001 << "0,0001";
        QTest::newRow("below 0.0001") << 0.00001 << "1E-5";
        QTest::newRow("below 0.0001 with fraction") << 0.000015 << "1,5E-5";
        QTest::newRow("largest fixed") << 999999999999999.0 << "999999999999999";
        QTest::newRow("10^15") << 1e15 << "1E15";
        QTest::newRow("largest double")
            << std::numeric_limits<double>::max() << "1,79769313486231E308";
        QTest::newRow("largest negative")
            << -std::numeric_limits<double>::max() << "-1,79769313486231E308";
    }

    // Every written form reads back as a number.
    void floatText() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(db::floatText(value), text);
        QVERIFY(std::isfinite(db::valueFromText(text, ValueKind::Real).toDouble()));
    }

    void textConversions() {
        QCOMPARE(db::textOf(QVariant()), QString());
        QCOMPARE(db::textOf(QVariant(qlonglong(2007))), QStringLiteral("2007"));
        QCOMPARE(db::valueFromText(QStringLiteral("12,5"), ValueKind::Real).toDouble(), 12.5);
        QVERIFY(db::valueFromText(QString(), ValueKind::Integer).isNull());
        QCOMPARE(failureText([] { db::valueFromText(QStringLiteral("12.5"), ValueKind::Real); }),
                 QStringLiteral("'12.5' is not a valid floating point value"));
        QCOMPARE(failureText([] { db::valueFromText(QStringLiteral("x1"), ValueKind::Integer); }),
                 QStringLiteral("'x1' is not a valid integer value"));
    }

    // What a column cannot hold is refused naming the column, and nothing of it is stored; what
    // it can hold is stored and reads back as written.
    void valuesAColumnHolds_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("failure");
        const auto row = [](const QString& locale, const QString& column, const QString& text,
                            const QString& failure = {}) {
            QTest::addRow("%s %s %s", qPrintable(locale), qPrintable(column), qPrintable(text))
                << locale << column << text << failure;
        };
        const QString hu = QStringLiteral("hu_HU");
        const QString en = QStringLiteral("en_US");
        row(hu, u"Adosajat"_s, u"12345678"_s);
        row(hu, u"Adosajat"_s, QStringLiteral("e\u0301").repeated(8));  // accents typed decomposed
        row(hu, u"Adosajat"_s, u"123456789"_s,
            u"'123456789' is too long for the field 'Adosajat', which holds 8 characters"_s);
        row(hu, u"Beszerznegyedev"_s, u"12"_s,
            u"'12' is too long for the field 'Beszerznegyedev', which holds 1 character"_s);
        for (const QString& number : {u"2147483647"_s, u"-2147483648"_s})
            row(hu, u"Tetelsorszam"_s, number);
        for (const QString& number :
             {u"2147483648"_s, u"99999999999"_s, u"-2147483649"_s, u"20x7"_s, u"1,5"_s})
            row(hu, u"Tetelsorszam"_s, number,
                QStringLiteral("'%1' is not a valid integer value for the field 'Tetelsorszam'")
                    .arg(number));
        row(hu, u"Tegysegar"_s, u"12,5"_s);
        row(en, u"Tegysegar"_s, u"12.5"_s);
        for (const QString& locale : {hu, en}) {
            for (const QString& number :
                 {u"inf"_s, u"-inf"_s, u"nan"_s, u"INF"_s, u"1E999"_s, u"abc"_s})
                row(locale, u"Tegysegar"_s, number,
                    QStringLiteral("'%1' is not a valid floating point value for the field "
                                   "'Tegysegar'")
                        .arg(number));
        }
    }

    void valuesAColumnHolds() {
        QFETCH(QString, locale);
        QFETCH(QString, column);
        QFETCH(QString, text);
        QFETCH(QString, failure);
        ProgramFolder folder;
        QLocale::setDefault(QLocale(locale));
        const auto restore =
            qScopeGuard([] { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); });
        Table items;
        items.open(QStringLiteral("AdatlapBR"));
        items.append();
        QCOMPARE(failureText([&] { items.setText(column, text); }), failure);
        QCOMPARE(items.text(column), failure.isEmpty() ? text : QString());
        items.post();
        const Query stored(QStringLiteral("select %1, typeof(%1) from AdatlapBR").arg(column));
        QCOMPARE(stored.text(0), failure.isEmpty() ? text : QString());
        const QHash<QString, QString> kinds = {{QStringLiteral("Tetelsorszam"), u"integer"_s},
                                               {QStringLiteral("Tegysegar"), u"real"_s}};
        QCOMPARE(stored.text(1), failure.isEmpty() ? kinds.value(column, u"text"_s) : u"null"_s);
    }

    void connectionFailures() {
        ProgramFolder folder(false);
        QFile::remove(folder.databasePath());
        QCOMPARE(failureText([] { db::openConnection(); }),
                 QStringLiteral("Could not find file 'Adatok/ZovavaZuvi2007.mdb'"));
        QVERIFY(!db::isConnected());
        QFile junk(folder.databasePath());
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        const QString text = failureText([] { db::openConnection(); });
        QVERIFY2(text.contains(QStringLiteral("not a database")), qPrintable(text));
        QVERIFY(!db::isConnected());
    }

    void declaredColumns() {
        ProgramFolder folder;
        Table table;
        QCOMPARE(failureText([&] { table.open(QStringLiteral("Nincs")); }),
                 QStringLiteral("Cannot find the table or view 'Nincs'"));
        QCOMPARE(failureText([&] {
                     table.open(QStringLiteral("adatlapbr"),
                                {{QStringLiteral("Tegysegar"), ValueKind::Integer}});
                 }),
                 QStringLiteral("The column 'Tegysegar' of 'adatlapbr' holds a floating-point "
                                "number instead of a whole number"));
        QCOMPARE(failureText([&] {
                     table.open(QStringLiteral("AdatlapBR"),
                                {{QStringLiteral("Nincsilyen"), ValueKind::Text}});
                 }),
                 QStringLiteral("The column 'Nincsilyen' of 'AdatlapBR' is missing"));
        table.open(QStringLiteral("View_Intezmeny"),
                   {{QStringLiteral("id"), ValueKind::Text},
                    {QStringLiteral("Adatszolgev"), ValueKind::Integer}});
        QCOMPARE(table.column(QStringLiteral("adosajat")).width, 8);
    }

    void selectStarKeepsSchemaOrder() {
        ProgramFolder folder;
        Query query(QStringLiteral("select * from adatlapInt"));
        QCOMPARE(query.fieldCount(), 19);
        QCOMPARE(query.fieldName(0), QStringLiteral("Adosajat"));
        QCOMPARE(query.fieldName(18), QStringLiteral("Adatszolgnegyedev"));
        query.run(QStringLiteral("select * from AdatlapBR"));
        QCOMPARE(query.fieldCount(), 17);
        QCOMPARE(query.fieldName(4), QStringLiteral("Tetelsorszam"));
        QCOMPARE(query.fieldName(16), QStringLiteral("Bazisegysegar"));
    }

    void nullReadsEmpty() {
        ProgramFolder folder;
        Query query(QStringLiteral("select max(tetelsorszam) as tetelsorszam from AdatlapBR "
                                   "where adosajat = ?"),
                    {QStringLiteral("12345678")});
        QCOMPARE(query.rowCount(), 1);
        QCOMPARE(query.text(QStringLiteral("TETELSORSZAM")), QString());
        QCOMPARE(failureText([&] { query.text(QStringLiteral("nincs")); }),
                 QStringLiteral("Field 'nincs' not found"));
    }

    void apostropheRoundTrip() {
        ProgramFolder folder;
        const QString name = QStringLiteral("O'Brien Kft. \"ő\"");
        Table table;
        table.open(QStringLiteral("AdatlapInt"));
        table.insert();
        table.setText(QStringLiteral("adosajat"), QStringLiteral("1234'678"));
        table.setText(QStringLiteral("Intnev"), name);
        table.setText(QStringLiteral("Adatszolgev"), QStringLiteral("2007"));
        table.setText(QStringLiteral("Adatszolgnegyedev"), QStringLiteral("3"));
        table.post();

        Table reread;
        reread.open(QStringLiteral("adatlapint"));
        reread.setFilter({{QStringLiteral("adosajat"), QStringLiteral("1234'678")},
                          {QStringLiteral("adatszolgev"), QStringLiteral("2007")}});
        QCOMPARE(reread.rowCount(), 1);
        QCOMPARE(reread.text(QStringLiteral("intnev")), name);

        Query query(QStringLiteral("select intnev from AdatlapInt where adosajat = ? and "
                                   "adatszolgev = ?"),
                    {QStringLiteral("1234'678"), 2007});
        QCOMPARE(query.rowCount(), 1);
        QCOMPARE(query.text(0), name);
    }

    void editCancelPostRemove() {
        ProgramFolder folder;
        insertInstitution(QStringLiteral("11111111"), QStringLiteral("Első"), 2007,
                          QStringLiteral("1"));
        insertInstitution(QStringLiteral("22222222"), QStringLiteral("Második"), 2006,
                          QStringLiteral("4"));
        Table table;
        table.open(QStringLiteral("AdatlapInt"));
        QCOMPARE(table.text(QStringLiteral("Intnev")), QStringLiteral("Első"));
        table.setSort(QStringLiteral("adatszolgev;adatszolgnegyedev"));
        QCOMPARE(table.currentRow(), 1);  // the same record, now second
        QCOMPARE(table.text(QStringLiteral("Intnev")), QStringLiteral("Első"));
        table.setCurrentRow(0);
        QCOMPARE(table.text(QStringLiteral("Intnev")), QStringLiteral("Második"));

        table.setText(QStringLiteral("Intnev"), QStringLiteral("Átírt"));
        QCOMPARE(table.mode(), Table::Mode::Edit);
        table.cancel();
        QCOMPARE(table.text(QStringLiteral("Intnev")), QStringLiteral("Második"));

        table.edit();
        table.setText(QStringLiteral("Intnev"), QStringLiteral("Átírt"));
        table.post();
        table.refresh();
        QCOMPARE(table.text(QStringLiteral("Intnev")), QStringLiteral("Átírt"));

        table.insert();
        QCOMPARE(table.rowCount(), 3);
        table.cancel();
        QCOMPARE(table.rowCount(), 2);

        QVERIFY(table.locate(QStringLiteral("adosajat"), QStringLiteral("11111111")));
        table.remove();
        QCOMPARE(Query(QStringLiteral("select count(1) as db from AdatlapInt")).text(0),
                 QStringLiteral("1"));
    }

    void yearQuotedOrBareSelectsSameRows() {
        ProgramFolder folder;
        insertInstitution(QStringLiteral("11111111"), QStringLiteral("A"), 2007,
                          QStringLiteral("1"));
        Table table;
        table.open(QStringLiteral("AdatlapInt"));
        table.setFilter({{QStringLiteral("Adatszolgev"), QStringLiteral("2007")}});
        QCOMPARE(table.rowCount(), 1);
        QCOMPARE(
            Query(QStringLiteral("select * from AdatlapInt where adatszolgev = 2007")).rowCount(),
            1);
    }

    void transactionRollsBack() {
        ProgramFolder folder;
        const QString failure = failureText([] {
            db::inTransaction([] {
                insertInstitution(QStringLiteral("11111111"), QStringLiteral("A"), 2007,
                                  QStringLiteral("1"));
                db::execute(QStringLiteral("insert into Nincs values (1)"));
            });
        });
        QVERIFY(failure.contains(QStringLiteral("no such table")));
        QCOMPARE(Query(QStringLiteral("select count(1) from AdatlapInt")).text(0),
                 QStringLiteral("0"));
    }

    // The engine's common failures say what to do before its own text (a locked file: see the
    // institution editor's test; any other failure keeps its text: the commit test below).
    void engineFailuresSayWhatToDo_data() {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("expected");
        const QString restore = QStringLiteral("; állítsa vissza egy biztonsági mentésből. (");
        QTest::newRow("read-only") << "pragma query_only = 1"
                                   << "Az adatbázis fájlja vagy mappája csak olvasható; tegye "
                                      "írhatóvá, és próbálja újra. (attempt to write a readonly "
                                      "database)";
        QTest::newRow("full") << "pragma max_page_count = 1"
                              << "Betelt a lemez; szabadítson fel helyet, és próbálja újra. "
                                 "(database or disk is full)";
        QTest::newRow("damaged")
            << "pragma writable_schema = on; update sqlite_master set rootpage "
               "= 1000000 where name = 'AdatlapInt'; pragma writable_schema = "
               "reset"
            << u"Az adatbázis fájlja megsérült"_s + restore +
                   u"malformed database schema (AdatlapInt) - invalid rootpage)"_s;
        QTest::newRow("missing table")
            << "drop table AdatlapInt"
            << u"Az adatbázisból hiányzik egy tábla"_s + restore + u"no such table: AdatlapInt)"_s;
    }

    void engineFailuresSayWhatToDo() {
        QFETCH(QString, setUp);
        QFETCH(QString, expected);
        ProgramFolder folder;
        for (const QString& step : setUp.split(QStringLiteral("; ")))
            db::execute(step);
        QCOMPARE(failureText([] {
                     db::execute(
                         QStringLiteral("insert into AdatlapInt (Adosajat, Intnev) "
                                        "values ('1', zeroblob(1048576))"));
                 }),
                 expected);
    }

    // A commit that the disk refuses (the first sync fails with EIO): the cursor keeps the
    // change as the user made it, the file keeps what it held, and the same store goes through
    // once the disk works again.
    void commitFailingOnTheDisk_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("report");
        QTest::newRow("insert")
            << "insert"
            << "1: disk I/O error; cursor inserting, 2 rows, year 2008; file 11111111/2007\n"
               "2: stored; cursor browsing, 2 rows, year 2008; file 11111111/2007 22222222/2008\n";
        QTest::newRow("edit")
            << "edit"
            << "1: disk I/O error; cursor editing, 1 rows, year 2008; file 11111111/2007\n"
               "2: stored; cursor browsing, 1 rows, year 2008; file 11111111/2008\n";
        QTest::newRow("delete")
            << "delete"
            << "1: disk I/O error; cursor browsing, 1 rows, year 2007; file 11111111/2007\n"
               "2: stored; cursor browsing, 0 rows, year ; file \n";
    }

    void commitFailingOnTheDisk() {
        QFETCH(QString, action);
        QFETCH(QString, report);
        ProgramFolder folder;
        insertInstitution(QStringLiteral("11111111"), QStringLiteral("Első"), 2007,
                          QStringLiteral("1"));
        const QString tracer = QStandardPaths::findExecutable(QStringLiteral("strace"));
        QVERIFY2(!tracer.isEmpty(), "strace is needed to make a disk sync fail");
        QProcess probe;
        // A program built with the leak checker cannot check itself while it is traced.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(
            QStringLiteral("ASAN_OPTIONS"),
            environment.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
        probe.setProcessEnvironment(environment);
        probe.start(tracer,
                    {QStringLiteral("-f"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                     QStringLiteral("-e"), QStringLiteral("trace=fdatasync"), QStringLiteral("-e"),
                     QStringLiteral("inject=fdatasync:error=EIO:when=1"),
                     QStringLiteral(VK_COMMIT_PROBE), folder.databasePath(), action});
        QVERIFY(probe.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()), report);
        QCOMPARE(probe.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDb)
#include "test_db.moc"
