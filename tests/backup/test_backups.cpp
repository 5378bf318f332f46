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
#include "db/schema_version.h"
#include "platform/folder_lock.h"
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
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

// A CSV file of one purchase item of 2007/3.
bool writeItemFile(const QString& path) {
    return testsupport::writeFile(path,
                                  "Beszerzho;Termekszolg;Vtszszolgkod;Termszolgnev;"
                                  "Mennyisegiegyseg;Vasaroltmenny;Beszerzforras;Felhasznter;"
                                  "Artipus;Tegysegar;Bazisegysegar\r\n"
                                  "7;1;1030;Tabletta;01;120;2;02;1;1234,5;1200\r\n");
}

// What a file is: its kind and its inode, which a file put in its place would not share.
std::pair<mode_t, ino_t> identity(const QString& path) {
    struct stat status {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return {status.st_mode & S_IFMT, status.st_ino};
}

// The copied program run with the arguments: its exit status and everything it printed.
std::pair<int, QString> runProgram(const ProgramFolder& folder, const QStringList& arguments) {
    QProcess program;
    program.start(folder.copyProgram(), arguments);
    if (!program.waitForFinished(60000))
        return {-1, u"did not finish"_qs};
    return {program.exitCode(),
            QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError())};
}

// Another program on the database: runs the statements, says so, and commits on a line of input.
// Its page cache is small, so a change of many rows reaches the file before the commit.
class OtherProgram {
public:
    OtherProgram(const QString& database, const QString& statements) {
        process_.start(u"python3"_qs, {u"-c"_qs,
                                       u"import sqlite3, sys\n"
                                       "con = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
                                       "con.execute('pragma cache_size = 10')\n"
                                       "for s in sys.argv[2].split(';'): con.execute(s)\n"
                                       "print('ready', flush=True)\n"
                                       "sys.stdin.readline()\n"
                                       "con.execute('commit')\n"_qs,
                                       database, statements});
        while (!process_.canReadLine() && process_.waitForReadyRead(30000)) {
        }
        ready = process_.readLine() == "ready\n";
    }
    void kill() { process_.kill(), process_.waitForFinished(); }
    bool commit() { return process_.write("\n") && process_.waitForFinished(30000); }
    bool ready = false;

private:
    QProcess process_;
};

// The files set aside beside the database.
QStringList setAside(const ProgramFolder& folder) {
    return QDir(folder.file(u"Adatok"_qs)).entryList({u"*.serult-*"_qs, u"*-journal"_qs});
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
        QTest::addColumn<QString>("prepare");  // a word, or statements run on a backup
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("backups");
        QTest::addColumn<QString>("message");
        const QStringList restore = {u"--restore"_qs, u"FILE"_qs};
        QTest::newRow("restore a file that is not a database")
            << "garbage" << restore << 1 << false << 0
            << "nem tölthető vissza: sérült, vagy nem adatbázis (file is not a database).";
        QTest::newRow("restore a database without the tables")
            << "tableless" << restore << 1 << false << 0
            << "hiányzik belőle a(z) AdatlapInt tábla.";
        QTest::newRow("restore a backup whose AdatlapBR has other columns")
            << "drop table AdatlapBR; create table AdatlapBR (x)" << restore << 1 << false << 0
            << "a(z) AdatlapBR tábla oszlopai nem egyeznek a program adatbázisáéval (a(z) 1. "
               "oszlop Adosajat helyett x).";
        QTest::newRow("restore a backup with a column renamed")
            << "alter table AdatlapBR rename column Beszerzho to Honap" << restore << 1 << false
            << 0 << "(a(z) 4. oszlop Beszerzho helyett Honap).";
        QTest::newRow("restore a backup with a trigger of its own")
            << "create trigger Urit after insert on AdatlapInt begin delete from AdatlapBR; end"
            << restore << 1 << false << 0
            << "olyat is tartalmaz, ami a program adatbázisában nincs: a(z) Urit eseményindító";
        QTest::newRow("restore a backup with a table of its own")
            << "create table Jegyzet (Szoveg text)" << restore << 1 << false << 0
            << "nincs: a(z) Jegyzet tábla.";
        QTest::newRow("restore a backup with an index of its own")
            << "create index Nev on AdatlapBR (Termszolgnev)" << restore << 1 << false << 0
            << "nincs: a(z) Nev index.";
        QTest::newRow("restore a backup whose report key is not unique")
            << "drop index AdatlapInt_key; create index AdatlapInt_key on AdatlapInt (Adosajat, "
               "Adatszolgev, Adatszolgnegyedev)"
            << restore << 1 << false << 0
            << "a(z) AdatlapInt_key index nem egyezik a program adatbázisáéval.";
        QTest::newRow("restore a backup")
            << "backup" << restore << 0 << true << 2 << "(1 adatlap, 1 tétel).";
        QTest::newRow("import items into a damaged database")
            << "damaged"
            << QStringList{u"--import-items"_qs, u"FILE"_qs, u"12345676"_qs, u"2007"_qs, u"3"_qs}
            << 1 << false << 0 << "sérült: ";
        QTest::newRow("carry forward while the backup folder cannot be made")
            << "folderless"
            << QStringList{u"--carry-forward"_qs, u"12345676"_qs, u"2007"_qs, u"3"_qs} << 0 << true
            << 0 << "Nem sikerült a biztonsági mentés: A(z) Adatok/mentes mappa";
        const QStringList backUpInto = {u"--backup"_qs, u"FILE"_qs};
        QTest::newRow("back up onto a device")
            << "device" << backUpInto << 1 << false << 0 << "ez nem közönséges fájl.";
        QTest::newRow("back up onto a folder")
            << "folder" << backUpInto << 1 << false << 0 << "ez egy mappa.";
        QTest::newRow("back up onto the lock file")
            << "" << QStringList{u"--backup"_qs, u"velkor.lock"_qs} << 1 << false << 0
            << "ez a program zárolófájlja.";
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
        } else if (prepare.contains(u' ')) {  // statements that change a backup
            backup::writeBackup(file);
            backup::EngineFile(file, backup::EngineFile::Mode::Write).run(prepare);
        } else if (prepare == u"tableless") {
            db::execute(u"attach database ? as other"_qs, {file});  // a new database
            db::execute(u"create table other.Jegyzet (Szoveg text)"_qs);
            db::execute(u"detach database other"_qs);
        } else if (prepare == u"garbage") {
            QVERIFY(testsupport::writeFile(file, QByteArray(8192, 'z')));
        } else if (prepare == u"folderless") {
            QVERIFY(testsupport::writeFile(folder.file(u"Adatok/mentes"_qs), "x"));
        } else if (prepare == u"device") {  // what /dev/null is
            QVERIFY(::mknod(QFile::encodeName(file).constData(), S_IFCHR | 0600, makedev(1, 3)) ==
                    0);
        } else if (prepare == u"folder") {
            QVERIFY(QDir().mkdir(file));
        }
        QVERIFY(testsupport::writeFile(folder.file(u"velkor.lock"_qs), {}));
        insertItems(10, prepare == u"damaged" ? 20000 : 0);
        db::closeConnection();
        if (prepare == u"damaged") {
            damagePage(folder.databasePath());
            QVERIFY(writeItemFile(file));
        }
        const QByteArray before = testsupport::readFile(folder.databasePath());
        const QString named = QFileInfo(arguments.replaceInStrings(u"FILE"_qs, file).last())
                                  .absoluteFilePath();  // none of these is changed or replaced
        const auto namedBefore = identity(named);
        const auto [status, output] = runProgram(folder, arguments);
        QCOMPARE(status, exitCode);
        QCOMPARE(output.count(message), 1);
        QCOMPARE(identity(named), namedBefore);
        QCOMPARE(testsupport::readFile(folder.databasePath()) != before, changed);
        QCOMPARE(backup::listBackups().size(), backups);
    }

    // Another program on the database: a writer killed after its pages reached the file, which
    // leaves its journal beside the database, or one holding the database longer than the program
    // waits. The start and each command roll the write back and call nothing damaged; a held
    // database is told, never asked about, and nothing is set aside or changed.
    void anotherProgram_data() {
        QTest::addColumn<bool>("killed");
        QTest::addColumn<QStringList>("arguments");  // none: the start of the windows
        QTest::addColumn<int>("exitCode");
        const QStringList key{u"12345676"_qs, u"2007"_qs, u"3"_qs};
        const QStringList restore{u"--restore"_qs, u"mentes.mdb"_qs};
        QTest::newRow("killed: start") << true << QStringList() << 0;
        QTest::newRow("killed: carry forward")
            << true << QStringList{u"--carry-forward"_qs} + key << 0;
        QTest::newRow("killed: import items")
            << true << QStringList{u"--import-items"_qs, u"tetel.csv"_qs} + key << 0;
        QTest::newRow("killed: check")
            << true << QStringList{u"--check"_qs, u"2007"_qs, u"3"_qs} << 1;
        QTest::newRow("killed: restore") << true << restore << 0;
        QTest::newRow("holding: start") << false << QStringList() << 1;
        QTest::newRow("holding: restore") << false << restore << 1;
    }

    void anotherProgram() {
        QFETCH(bool, killed);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        ProgramFolder folder;
        insertRecordWithItem();
        insertItems(2, killed ? 20000 : 0);
        backup::writeBackup(folder.file(u"mentes.mdb"_qs));
        QVERIFY(writeItemFile(folder.file(u"tetel.csv"_qs)));
        const QString items =
            u"select * from AdatlapBR where Tetelsorszam <= 20001 and Beszerznegyedev = '3'"_qs;
        const QStringList before = testsupport::rowsOf(items);
        db::closeConnection();
        const QByteArray written = testsupport::readFile(folder.databasePath());
        OtherProgram other(
            folder.databasePath(),
            killed ? u"begin; delete from AdatlapBR"_qs
                   : u"begin exclusive; insert into AdatlapInt (Adosajat, "
                     "Adatszolgev, Adatszolgnegyedev) values ('87654321', 2007, '3')"_qs);
        QVERIFY(other.ready);
        if (killed) {
            other.kill();
            QCOMPARE(setAside(folder), QStringList{u"ZovavaZuvi2007.mdb-journal"_qs});
            QVERIFY(testsupport::readFile(folder.databasePath()) != written);
        }
        ScriptedMessages boxes;  // no question: it would stop the test
        const auto atStart = [&] {
            const int started = backup::checkDatabaseAtStart(kNow) ? 0 : 1;
            return std::pair(started, boxes.takeTexts().join(u'\n'));
        };
        const auto [status, output] =
            arguments.isEmpty() ? atStart() : runProgram(folder, arguments);
        QCOMPARE(status, exitCode);
        QVERIFY2(!output.contains(u"sérült"_qs), qPrintable(output));
        QCOMPARE(output.contains(u"Az adatbázist (Adatok/ZovavaZuvi2007.mdb) egy másik program"_qs),
                 !killed);
        QVERIFY(killed || other.commit());
        QCOMPARE(setAside(folder), QStringList());
        QCOMPARE(backup::damageOf(folder.databasePath()), std::nullopt);
        db::openConnection();
        QCOMPARE(testsupport::rowsOf(items), before);
        QCOMPARE(
            testsupport::rowsOf(u"select count(*) from AdatlapInt where Adosajat = '87654321'"_qs),
            QStringList{killed ? u"0"_qs : u"1"_qs});
    }

    // A running instance keeps a second one out, naming itself; an empty lock file left behind
    // is taken over by every command-line row above.
    void runningInstanceHoldsTheFolder() {
        ProgramFolder folder;
        const platform::WorkingFolderLock running(folder.path());
        const auto [status, output] = runProgram(folder, {u"--backup"_qs});
        QCOMPARE(status, 1);
        QVERIFY(output.contains(
            u"A program már fut ebben a munkamappában (%1, folyamat: %2)"_qs.arg(folder.path())
                .arg(QCoreApplication::applicationPid())));
        QVERIFY_THROWS_EXCEPTION(platform::LockRefused, platform::WorkingFolderLock(folder.path()));
    }

    // A second record of a report key, refused by this program's database, written by another
    // tool into an older one: it stays, the start names it, and its period is not saved.
    void repeatedReportKey() {
        ProgramFolder folder;
        insertRecordWithItem();
        const QString secondRecord =
            u"insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, Adatszolgnegyedev) values "
            "('12345676', 'Másik', 2007, '3')"_qs;
        QVERIFY_THROWS_EXCEPTION(platform::Failure, db::execute(secondRecord));
        db::closeConnection();
        backup::EngineFile(folder.databasePath(), backup::EngineFile::Mode::Write)
            .run(
                u"drop index AdatlapInt_key; create index AdatlapInt_key on AdatlapInt "
                "(Adosajat, Adatszolgev, Adatszolgnegyedev); pragma user_version = 1; "_qs +
                secondRecord);
        // Named once at the start of the command, and once in the save run's error line.
        const auto [status, output] = runProgram(folder, {u"--save"_qs, u"2007"_qs, u"3"_qs});
        QCOMPARE(status, 1);
        QCOMPARE(output.count(u"hármassal több adatlap is van: 12345676 2007/3."_qs), 2);
        QVERIFY(output.contains(u"HIBA: Ugyanazzal az adószám, év, negyedév hármassal"_qs));
        QCOMPARE(QDir(folder.file(u"text"_qs)).entryList({u"*_B?.txt"_qs}), QStringList());
        QCOMPARE(db::schemaVersionOfFile(folder.databasePath()), 1);
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
