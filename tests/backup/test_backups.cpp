// Backups of the database: taken while the editors work on it, kept by their age, checked
// before they are put back, and offered at start in place of a damaged database.

#include "app/UnitFo.h"
#include "backup/backups.h"
#include "backup/damaged_database.h"
#include "backup/database_check.h"
#include "backup/engine_file.h"
#include "db/connection.h"
#include "db/engine_failure.h"
#include "db/query.h"
#include "purchase/widgets/UnitAdatlapBR.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"
#include "toolsmenu/widgets/UnitMentesek.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <sqlite3.h>

using platform::Button;
using testsupport::ProgramFolder;
using testsupport::ScriptedMessages;

namespace {

const QString kStamp = QStringLiteral("yyyyMMdd-HHmmss");
const QDateTime kNow = QDateTime::fromString(QStringLiteral("20071215-120000"), kStamp);

// Items of a record of 2007/3, numbered on from first; text of width bytes in each.
void insertItems(int first, int count, int width = 20) {
    db::execute(QStringLiteral(
                    "with recursive n(i) as (select ? union all select i + 1 from n where i < ?) "
                    "insert into AdatlapBR select '12345676', 2007, '3', '07', i, '1', '1030', "
                    "'24421300', '30049019', substr(hex(randomblob(?)), 1, ?), '01', 1, '2', '02', "
                    "'1', 10.5, 10 from n"),
                {first, first + count - 1, width, width});
}

void insertRecordWithItem() {
    db::execute(
        u"insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, Adatszolgnegyedev) "
        "values ('12345676', 'Kórház', 2007, '3')"_qs);
    insertItems(1, 1);
}

// Every record and item of a database file.
QStringList everythingIn(const QString& path) {
    db::execute(QStringLiteral("attach database ? as other"), {path});
    const QStringList rows =
        testsupport::rowsOf(QStringLiteral("select * from other.AdatlapInt")) +
        testsupport::rowsOf(QStringLiteral("select * from other.AdatlapBR order by 5"));
    db::execute(QStringLiteral("detach database other"));
    return rows;
}

// Overwrites a page in the middle of a closed database file.
void damagePage(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(file.size() / 2 / 4096 * 4096));
    file.write(QByteArray(4096, '\xab'));
}

QStringList stampsOf(const QList<backup::BackupFile>& backups) {
    QStringList stamps;
    for (const auto& file : backups)
        stamps.append(file.taken.toString(kStamp));
    return stamps;
}

}  // namespace

class TestBackups : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void backupWhileTheEditorIsOpen() {
        ProgramFolder folder;
        insertRecordWithItem();
        TFormAdatlapBR editor;
        editor.show();
        editor.ADOTable_AdatlapBR.insert();  // a row being typed is not stored yet
        const backup::BackupFile file = backup::backUpNow(kNow);
        QCOMPARE(backup::unfitForRestore(file.path), std::nullopt);
        QCOMPARE(everythingIn(file.path), everythingIn(folder.databasePath()));
        QCOMPARE(everythingIn(file.path).size(), 2);
    }

    // Backups taken at the times before one taken at noon, with [backup] keep (absent for 10);
    // the expired ones are deleted.
    void retention_data() {
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<int>("keep");
        QTest::addColumn<QStringList>("expired");
        auto hoursOfToday = [](int from, int to) {
            QStringList times;
            for (int hour = from; hour <= to; ++hour)
                times.append(QStringLiteral("20071215-%1").arg(hour * 10000, 6, 10, QChar(u'0')));
            return times;
        };
        QTest::newRow("fewer than kept") << hoursOfToday(0, 4) << 10 << QStringList();
        QTest::newRow("eleven on one day")
            << hoursOfToday(0, 9) << 10 << QStringList{u"20071215-000000"_qs};
        // Besides the ten of the last days, the newest of each month as far back as January.
        QTest::newRow("one a month for twelve months")
            << hoursOfToday(1, 9) + QStringList{u"20071101-080000"_qs, u"20071120-080000"_qs,
                                                u"20070105-080000"_qs, u"20070120-080000"_qs,
                                                u"20061220-080000"_qs}
            << 10
            << QStringList{u"20071101-080000"_qs, u"20070105-080000"_qs, u"20061220-080000"_qs};
        QTest::newRow("keep 3") << hoursOfToday(0, 4) << 3 << hoursOfToday(0, 2);
    }

    void retention() {
        QFETCH(QStringList, taken);
        QFETCH(int, keep);
        QFETCH(QStringList, expired);
        ProgramFolder folder;
        if (keep != 10)
            QVERIFY(testsupport::writeFile(folder.file(u"velkor.ini"_qs),
                                           "[backup]\nkeep = " + QByteArray::number(keep)));
        QVERIFY(QDir().mkpath(folder.file(u"Adatok/mentes"_qs)));
        for (const QString& stamp : taken)
            QVERIFY(testsupport::writeFile(
                folder.file(u"Adatok/mentes/ZovavaZuvi2007-%1.mdb"_qs.arg(stamp)), "x"));
        backup::backUpNow(kNow);
        QStringList kept = taken + QStringList{kNow.toString(kStamp)};
        for (const QString& stamp : expired)
            kept.removeOne(stamp);
        std::sort(kept.begin(), kept.end(), std::greater<>());
        QCOMPARE(stampsOf(backup::listBackups()), kept);
    }

    // At start a backup is due when the newest one taken before now is a day old; one stamped a
    // year ahead does not count.
    void dailyBackupBesideOneInTheFuture() {
        ProgramFolder folder;
        insertRecordWithItem();
        backup::backUpNow(kNow.addYears(1));
        const auto noFailure = [](const QString& text) { QFAIL(qPrintable(text)); };
        backup::backUpIfDue(noFailure, kNow);
        backup::backUpIfDue(noFailure, kNow.addSecs(3600));
        QCOMPARE(backup::listBackups().size(), 2);
    }

    // A failed backup is told in the words of the program's other engine failures.
    void backupWhileAnotherProgramWrites() {
        ProgramFolder folder;
        const backup::EngineFile other(folder.databasePath(), backup::EngineFile::Mode::Create);
        other.run(u"begin exclusive"_qs);
        db::setBusyTimeout(100);
        QStringList notices;
        backup::backUpBeforeChange([&](const QString& text) { notices.append(text); });
        QCOMPARE(notices, QStringList{backup::failureText(
                              db::engineFailureText(SQLITE_BUSY, u"database is locked"_qs))});
    }

    // A page of the database overwritten: at start the newest sound backup is offered; Yes
    // keeps the damaged file beside it and puts the backup in its place, No ends the start.
    void damagedDatabaseAtStart_data() {
        QTest::addColumn<QString>("newestSpoilt");  // how, when the newest backup cannot be used
        QTest::addColumn<Button>("answer");
        QTest::newRow("restored") << QString() << Button::Yes;
        QTest::newRow("the newest backup damaged too") << "page" << Button::Yes;
        QTest::newRow("the newest backup empty") << "empty" << Button::Yes;
        QTest::newRow("declined") << QString() << Button::No;
    }

    void damagedDatabaseAtStart() {
        QFETCH(QString, newestSpoilt);
        QFETCH(Button, answer);
        const bool newestDamagedToo = !newestSpoilt.isEmpty();
        ProgramFolder folder;
        insertRecordWithItem();
        const QString sound = backup::backUpNow(kNow.addSecs(-60)).path;
        insertItems(2, 20000);  // the middle of the file is now items
        const QString newest = backup::backUpNow(kNow.addSecs(-30)).path;
        db::closeConnection();
        if (newestSpoilt == u"page")
            damagePage(newest);
        if (newestSpoilt == u"empty")
            QVERIFY(testsupport::writeFile(newest, {}));
        damagePage(folder.databasePath());
        const QByteArray damaged = testsupport::readFile(folder.databasePath());
        ScriptedMessages boxes;
        boxes.answer(answer);
        QCOMPARE(backup::checkDatabaseAtStart(kNow), answer == Button::Yes);
        const QString texts = boxes.takeTexts().join(u'\n');
        QVERIFY(texts.contains(u"Az adatbázis (Adatok/ZovavaZuvi2007.mdb) sérült: "_qs));
        QVERIFY(texts.contains(newestDamagedToo ? u"2007.12.15. 11:59:00 (1 adatlap, 1 tétel)"_qs
                                                : u"11:59:30 (1 adatlap, 20001 tétel)"_qs));
        if (answer == Button::No) {
            QCOMPARE(testsupport::readFile(folder.databasePath()), damaged);
            return;
        }
        QCOMPARE(testsupport::readFile(
                     folder.file(u"Adatok/ZovavaZuvi2007.mdb.serult-20071215-120000"_qs)),
                 damaged);
        db::openConnection();
        QCOMPARE(everythingIn(folder.databasePath()),
                 everythingIn(newestDamagedToo ? sound : newest));
    }

    // The copied program's command lines; FILE stands for the file the row prepares. A refused
    // command changes nothing; a failed backup is told once and the work goes on.
    void commandLine_data() {
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("backups");
        QTest::addColumn<QString>("message");
        const QStringList restore = {u"--restore"_qs, u"FILE"_qs};
        QTest::newRow("restore a file that is not a database")
            << "not a database" << restore << 1 << false << 0 << "file is not a database.";
        QTest::newRow("restore a database without the tables")
            << "no tables" << restore << 1 << false << 0
            << "hiányzik belőle a(z) AdatlapInt tábla.";
        QTest::newRow("restore a backup whose AdatlapBR has other columns")
            << "other columns" << restore << 1 << false << 0
            << "a(z) AdatlapBR tábla oszlopai nem egyeznek a program adatbázisáéval.";
        QTest::newRow("restore a backup")
            << "backup" << restore << 0 << true << 2 << "(1 adatlap, 1 tétel).";
        QTest::newRow("import items into a damaged database")
            << "damaged"
            << QStringList{u"--import-items"_qs, u"FILE"_qs, u"12345676"_qs, u"2007"_qs, u"3"_qs}
            << 1 << false << 0 << "sérült: ";
        QTest::newRow("carry forward while the backup folder cannot be made")
            << "no backup folder"
            << QStringList{u"--carry-forward"_qs, u"12345676"_qs, u"2007"_qs, u"3"_qs} << 0 << true
            << 0 << "Nem sikerült a biztonsági mentés: A(z) Adatok/mentes mappa";
    }

    void commandLine() {
        QFETCH(QString, prepare);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(bool, changed);
        QFETCH(int, backups);
        QFETCH(QString, message);
        ProgramFolder folder;
        insertRecordWithItem();
        const QString file = folder.file(u"bemenet.mdb"_qs);
        if (prepare == u"backup") {
            backup::writeBackup(file);
            insertItems(2, 3);
            backup::backUpNow(kNow);
        } else if (prepare == u"other columns") {
            backup::writeBackup(file);
            backup::EngineFile(file, backup::EngineFile::Mode::Create)
                .run(u"drop table AdatlapBR; create table AdatlapBR (x)"_qs);
        } else if (prepare == u"no tables") {
            db::execute(u"attach database ? as other"_qs, {file});  // a new database
            db::execute(u"create table other.Jegyzet (Szoveg text)"_qs);
            db::execute(u"detach database other"_qs);
        } else if (prepare == u"not a database") {
            QVERIFY(testsupport::writeFile(file, QByteArray(8192, 'z')));
        } else if (prepare == u"no backup folder") {
            QVERIFY(testsupport::writeFile(folder.file(u"Adatok/mentes"_qs), "x"));
        }
        insertItems(10, prepare == u"damaged" ? 20000 : 0);
        db::closeConnection();
        if (prepare == u"damaged") {
            damagePage(folder.databasePath());
            QVERIFY(testsupport::writeFile(file,
                                           "Beszerzho;Termekszolg;Vtszszolgkod;Termszolgnev;"
                                           "Mennyisegiegyseg;Vasaroltmenny;Beszerzforras;"
                                           "Felhasznter;Artipus;Tegysegar;Bazisegysegar\r\n"
                                           "7;1;1030;Tabletta;01;120;2;02;1;1234,5;1200\r\n"));
        }
        const QByteArray before = testsupport::readFile(folder.databasePath());
        QProcess program;
        program.start(folder.copyProgram(), arguments.replaceInStrings(u"FILE"_qs, file));
        QVERIFY(program.waitForFinished(60000));
        const QString output =
            QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError());
        QCOMPARE(program.exitCode(), exitCode);
        QCOMPARE(output.count(message), 1);
        QCOMPARE(testsupport::readFile(folder.databasePath()) != before, changed);
        QCOMPARE(backup::listBackups().size(), backups);
    }

    // "velkor --backup" killed while it writes: the database and the earlier backup stay as they
    // were, the half-written copy is never listed, and the next backup removes it.
    void killedDuringABackup() {
        ProgramFolder folder;
        insertRecordWithItem();
        const QString earlier = backup::backUpNow(kNow).path;
        const QByteArray earlierBytes = testsupport::readFile(earlier);
        insertItems(2, 150000, 200);
        const QStringList before = everythingIn(folder.databasePath());
        QProcess program;
        program.start(folder.copyProgram(), {u"--backup"_qs});
        const QDir backups(folder.file(u"Adatok/mentes"_qs));
        auto parts = [&] { return backups.entryList({u".*.part"_qs}, QDir::Files | QDir::Hidden); };
        while (parts().isEmpty() && program.state() != QProcess::NotRunning)
            QThread::usleep(200);
        program.kill();
        QVERIFY(program.waitForFinished());
        QCOMPARE(parts().size(), 1);
        QCOMPARE(stampsOf(backup::listBackups()), QStringList{kNow.toString(kStamp)});
        QCOMPARE(testsupport::readFile(earlier), earlierBytes);
        QCOMPARE(backup::damageOf(folder.databasePath()), std::nullopt);
        QCOMPARE(everythingIn(folder.databasePath()), before);
        backup::backUpNow(kNow.addSecs(1));
        QCOMPARE(parts(), QStringList());
    }

    // From the tools menu: the chosen backup is put back after a confirmation naming it; the
    // save menu follows the restored items, and the report entries wait for a save run.
    void restoreFromTheWindow() {
        ProgramFolder folder;
        insertRecordWithItem();
        const QString older = backup::backUpNow(kNow).path;
        db::execute(u"update AdatlapBR set Beszerzev = 2008"_qs);
        TFormFo main;
        main.TMenuItem_Kuldes->menuAction()->setEnabled(true);
        main.TMenuItem_KisJegyz->setEnabled(true);
        ScriptedMessages boxes;
        boxes.answer(Button::Yes);
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<TFormMentesek*>(QApplication::activeModalWidget());
            QVERIFY(window);
            QCOMPARE(window->ListView_mentesek->topLevelItem(0)->text(2), u"1"_qs);
            QTest::mouseClick(window->Button_visszatoltes, Qt::LeftButton);
            QTest::mouseClick(window->Button_kilepes, Qt::LeftButton);
        });
        main.TMenuItem_Mentesek->trigger();
        QVERIFY(boxes.takeTexts().value(0).startsWith(
            u"Visszatölti a(z) 2007.12.15. 12:00:00-kor készült biztonsági mentést (1 adatlap, 1 tétel)?"_qs));
        QCOMPARE(everythingIn(folder.databasePath()), everythingIn(older));
        QCOMPARE(main.TMenuItem_Mentes->actions().value(0)->text(), u"Mentés 2007"_qs);
        QVERIFY(!main.TMenuItem_Kuldes->menuAction()->isEnabled());
        QVERIFY(!main.TMenuItem_KisJegyz->isEnabled());
    }
};

QTEST_MAIN(TestBackups)
#include "test_backups.moc"
