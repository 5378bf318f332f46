// Checking a whole period before the save run through "velkor --check", over a period with one
// problem of each kind; the window is tried in test_period_check_window.

#include "db/connection.h"
#include "period_fixture.h"
#include "support/program_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using testsupport::ProgramFolder;

using namespace periodfixture;

class TestPeriodCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // output: what the program prints; list: the lines of the saved list, none when nothing is
    // saved.
    void checkThroughTheCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("output");
        QTest::addColumn<QStringList>("list");
        QTest::newRow("one problem of each kind")
            << QStringList{"2007", "3"} << 1 << kProblems << kProblems;
        const QStringList empty = {"Nincs adatlap a(z) 2006. év 1. negyedévére.",
                                   kPlaceholderAddressee};
        QTest::newRow("a period without records")
            << QStringList{"2006", "1"} << 1 << empty << empty;
        QTest::newRow("no such quarter") << QStringList{"2007", "5"} << 1
                                         << QStringList{"Nincs ilyen negyedév: 5"} << QStringList();
        QTest::newRow("quarter missing")
            << QStringList{"2007"} << 1 << QStringList{"Használat: velkor --check ÉV NEGYEDÉV"}
            << QStringList();
    }

    void checkThroughTheCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, output);
        QFETCH(QStringList, list);
        ProgramFolder folder(false);
        const QString program = folder.copyProgram();
        db::openConnection(folder.databasePath());
        insertFixture();
        db::closeConnection();

        QProcess velkor;
        velkor.start(program, QStringList{QStringLiteral("--check")} + arguments);
        QVERIFY(velkor.waitForFinished(30000));
        QCOMPARE(velkor.exitCode(), exitCode);
        const QByteArray printed =
            list.isEmpty() ? velkor.readAllStandardError() : velkor.readAllStandardOutput();
        QCOMPARE(QString::fromUtf8(printed).split(u'\n', Qt::SkipEmptyParts), output);
        const QString saved = folder.file(QStringLiteral("Listak/%1_%2_ellenorzes.txt")
                                              .arg(arguments.value(0), arguments.value(1)));
        if (list.isEmpty())
            QVERIFY(!QFile::exists(saved));
        else
            QCOMPARE(testsupport::readFile(saved), listFile(list));
    }

    // A step log that cannot be written: the list is saved, and the check says that its result
    // is not recorded for the overview.
    void resultNotRecorded() {
        ProgramFolder folder(false);
        const QString program = folder.copyProgram();
        QVERIFY(QDir().mkdir(folder.file(QStringLiteral("Adatok/lepesek.ini"))));

        QProcess velkor;
        velkor.start(program,
                     {QStringLiteral("--check"), QStringLiteral("2006"), QStringLiteral("1")});
        QVERIFY(velkor.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(velkor.readAllStandardError()).trimmed(),
                 u"Az ellenőrzés eredménye nem jegyezhető fel a lépésnaplóba "
                 u"(Adatok/lepesek.ini)."_qs);
        QCOMPARE(velkor.exitCode(), 1);
        QVERIFY(QFile::exists(folder.file(QStringLiteral("Listak/2006_1_ellenorzes.txt"))));
    }
};

QTEST_GUILESS_MAIN(TestPeriodCheck)
#include "test_period_check.moc"
