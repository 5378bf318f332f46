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
            << QStringList{u"2007"_qs, u"3"_qs} << 1 << kProblems << kProblems;
        const QStringList empty = {u"Nincs adatlap a(z) 2006. év 1. negyedévére."_qs,
                                   kPlaceholderAddressee};
        QTest::newRow("a period without records")
            << QStringList{u"2006"_qs, u"1"_qs} << 1 << empty << empty;
        QTest::newRow("no such quarter")
            << QStringList{u"2007"_qs, u"5"_qs} << 1 << QStringList{u"Nincs ilyen negyedév: 5"_qs}
            << QStringList();
        QTest::newRow("quarter missing")
            << QStringList{u"2007"_qs} << 1
            << QStringList{u"Használat: velkor --check ÉV NEGYEDÉV"_qs} << QStringList();
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

    // A line break stored by another tool is an error of the check; the save run refuses the
    // provider with an error line, writes none of its data files and withholds its closing lines.
    void lineBreakStoredByAnotherTool() {
        ProgramFolder folder(false);
        const QString program = folder.copyProgram();
        db::openConnection(folder.databasePath());
        periodfixture::insertRecord(u"12345676"_qs, 3, u"Kórház"_qs, u"01508"_qs);
        periodfixture::insertItem(u"12345676"_qs, 1, u"07"_qs, u"1010"_qs, u"01"_qs);
        db::closeConnection();
        QProcess run;
        run.start(u"sqlite3"_qs, {folder.databasePath(),
                                  u"update AdatlapBR set Termszolgnev = "
                                  "'Tab' || char(13, 10) || 'letta'"_qs});
        QVERIFY(run.waitForFinished() && run.exitCode() == 0);
        run.start(program, {u"--check"_qs, u"2007"_qs, u"3"_qs});
        QVERIFY(run.waitForFinished(30000) && run.exitCode() == 1);
        QVERIFY(QString::fromUtf8(run.readAllStandardOutput())
                    .contains(u"Tétel 12345676 2007/3 1., Termszolgnev: A 'Termék/szolgáltatás "
                              "neve' nevű mező nem tartalmazhat vezérlőkaraktert!!!"_qs));
        run.start(program, {u"--save"_qs, u"2007"_qs, u"3"_qs});
        QVERIFY(run.waitForFinished(30000) && run.exitCode() == 1);
        QCOMPARE(QString::fromUtf8(run.readAllStandardOutput()),
                 u"HIBA: 12345676, 1. tétel, Termszolgnev: Az érték vezérlőkaraktert (például "
                 "sortörést) tartalmaz, az adatállomány sorába nem írható!\n"_qs);
        QCOMPARE(QDir(folder.file(u"text"_qs)).entryList({u"2007_3_*"_qs}), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestPeriodCheck)
#include "test_period_check.moc"
