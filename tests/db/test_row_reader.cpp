#include "db/query.h"
#include "db/read_transaction.h"
#include "db/row_reader.h"
#include "platform/failure.h"
#include "support/failure_text.h"
#include "support/program_folder.h"

#include <QLocale>
#include <QProcess>
#include <QTest>

#include <limits>
#include <memory>

using db::RowReader;
using testsupport::failureText;
using testsupport::ProgramFolder;

namespace {

// Another process writing to the database, with no patience for a lock held against it.
bool otherProcessWrites(const QString& databasePath) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"),
                {databasePath, QStringLiteral("insert into Torzs_IRSZ values ('9999')")});
    return shell.waitForFinished() && shell.exitCode() == 0;
}

}  // namespace

class TestRowReader : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> folder_;

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); }
    void init() { folder_ = std::make_unique<ProgramFolder>(); }
    void cleanup() { folder_.reset(); }

    // Whatever the engine holds, the reader gives the text the statement runners give.
    void textAsTheRunnersGiveIt_data() {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("null") << QVariant();
        QTest::newRow("whole number") << QVariant(qlonglong(2007));
        QTest::newRow("negative") << QVariant(qlonglong(-42));
        QTest::newRow("largest") << QVariant(std::numeric_limits<qlonglong>::max());
        for (const double number : {1250.5, 2.0, 0.25, 1234567.89, 0.1 + 0.2, -0.0, 1e15, 1.5e-5,
                                    1e308, 5e-324, -999999999999999.0})
            QTest::newRow(qPrintable(QString::number(number, 'g', 17))) << QVariant(number);
        QTest::newRow("text") << QVariant(QStringLiteral("Fűtőolaj 'extra'\tkülső"));
        QTest::newRow("empty text") << QVariant(QString());
        QTest::newRow("bytes") << QVariant(QByteArray("F\xC5\x91"));
    }

    void textAsTheRunnersGiveIt() {
        QFETCH(QVariant, value);
        const QString statement = QStringLiteral("select ? as Ertek");
        RowReader reader(statement);
        reader.run({value});
        QVERIFY(reader.next());
        QCOMPARE(reader.text(u"ertek"), db::Query(statement, {value}).text(0));
        const std::string_view utf8 = reader.utf8(0);
        QCOMPARE(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())),
                 db::Query(statement, {value}).text(0));
        QVERIFY(!reader.next());
    }

    // Prepared once, run again with other values, its rows one at a time in the engine's order;
    // the database is free for others between runs.
    void runsAgain() {
        const QString statement =
            QStringLiteral("select id from Torzs_IRSZ where id like ? order by id desc limit 3");
        RowReader reader(statement);
        for (const QString& prefix : {QStringLiteral("10%"), QStringLiteral("2%")}) {
            reader.run({prefix});
            QStringList ids;
            while (reader.next())
                ids.append(reader.text(0));
            QStringList expected;
            for (db::Query query(statement, {prefix}); !query.eof(); query.next())
                expected.append(query.text(0));
            QCOMPARE(ids, expected);
            QCOMPARE(ids.size(), 3);
            QCOMPARE(failureText([&] { reader.text(0); }), QStringLiteral("No current record"));
        }
        reader.run({QStringLiteral("1%")});
        QVERIFY(reader.next());
        reader.close();
        QVERIFY(otherProcessWrites(folder_->databasePath()));

        QCOMPARE(failureText([&] { reader.position(u"nev"); }),
                 QStringLiteral("Field 'nev' not found"));
        RowReader rejected(QStringLiteral("select * from nincs_ilyen"));
        QCOMPARE(failureText([&] { rejected.run({}); }),
                 QStringLiteral("Az adatbázisból hiányzik egy tábla; állítsa vissza egy "
                                "biztonsági mentésből. (no such table: nincs_ilyen)"));
    }

    // Within a read transaction others may not write; after it they may.
    void readTransactionHoldsOffWriters() {
        {
            const db::ReadTransaction reading;
            RowReader reader(QStringLiteral("select count(1) from Torzs_IRSZ"));
            reader.run({});
            QVERIFY(reader.next());
            reader.close();
            QVERIFY(!otherProcessWrites(folder_->databasePath()));
        }
        QVERIFY(otherProcessWrites(folder_->databasePath()));
    }
};

QTEST_GUILESS_MAIN(TestRowReader)
#include "test_row_reader.moc"
