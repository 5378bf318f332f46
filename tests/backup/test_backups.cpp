// Backups of the database: taken while the editors work on it, kept by their age, checked
// before they are put back, and offered at start in place of a damaged database.

#include "app/UnitFo.h"
#include "app/startup.h"
#include "backup/backups.h"
#include "backup/damaged_database.h"
#include "backup/database_check.h"
#include "db/connection.h"
#include "db/query.h"
#include "purchase/UnitAdatlapBR.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"
#include "tools/UnitMentesek.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using platform::Button;
using testsupport::ProgramFolder;
using testsupport::rowsOf;
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
        QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Adatszolgev, "
                       "Adatszolgnegyedev) values ('12345676', 'Kórház', 2007, '3')"));
    insertItems(1, 1);
}

// Every record and item of a database file.
QStringList everythingIn(const QString& path) {
    db::execute(QStringLiteral("attach database ? as other"), {path});
    const QStringList rows = rowsOf(QStringLiteral("select * from other.AdatlapInt")) +
                             rowsOf(QStringLiteral("select * from other.AdatlapBR order by 5"));
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

QStringList namesOf(const QList<backup::BackupFile>& backups) {
    QStringList names;
    for (const auto& file : backups)
        names.append(QFileInfo(file.path).fileName());
    return names;
}

QStringList stamps(const QList<QDateTime>& times) {
    QStringList texts;
    for (const QDateTime& time : times)
        texts.append(time.toString(kStamp));
    return texts;
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
        QCOMPARE(QFileInfo(file.path).fileName(), u"ZovavaZuvi2007-20071215-120000.mdb"_qs);
        QCOMPARE(backup::damageOf(file.path), QString());
        QCOMPARE(backup::unfitForRestore(file.path), QString());
        QCOMPARE(everythingIn(file.path), everythingIn(folder.databasePath()));
        QCOMPARE(everythingIn(file.path).size(), 2);
    }

    // Backups taken at the times; which are deleted when keep newest are kept.
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
            << hoursOfToday(0, 10) << 10 << QStringList{u"20071215-000000"_qs};
        // Two a month from October 2006: of each month before December 2007 the later one
        // stays, as far back as January 2007.
        QStringList monthly;
        QStringList expired;
        for (QDate month(2006, 10, 1); month < QDate(2007, 12, 1); month = month.addMonths(1)) {
            const QString first = month.toString(u"yyyyMMdd-080000"_qs);
            const QString later = month.addDays(19).toString(u"yyyyMMdd-080000"_qs);
            monthly << first << later;
            expired << first;
            if (month.year() == 2006)
                expired << later;
        }
        QTest::newRow("one a month for twelve months")
            << hoursOfToday(0, 9) + monthly << 10 << expired;
        QTest::newRow("keep 2") << hoursOfToday(0, 4) << 2 << hoursOfToday(0, 2);
    }

    void retention() {
        QFETCH(QStringList, taken);
        QFETCH(int, keep);
        QFETCH(QStringList, expired);
        QList<QDateTime> times;
        for (const QString& text : taken)
            times.append(QDateTime::fromString(text, kStamp));
        QStringList result = stamps(backup::expiredBackups(times, keep, kNow.date()));
        std::sort(result.begin(), result.end(), std::greater<>());
        std::sort(expired.begin(), expired.end(), std::greater<>());
        QCOMPARE(result, expired);
    }

    // Into the folder with five older backups, a copy half-written by a stopped program and a
    // file of another name; [backup] keep = 3.
    void keepSettingAndLeftovers() {
        ProgramFolder folder;
        QVERIFY(testsupport::writeFile(folder.file(u"velkor.ini"_qs), "[backup]\nkeep = 3\n"));
        QVERIFY(QDir().mkpath(folder.file(u"Adatok/mentes"_qs)));
        const QStringList others = {u".ZovavaZuvi2007-20071215-110000.mdb.part"_qs,
                                    u"ZovavaZuvi2007-masolat.mdb"_qs};
        for (int hour = 6; hour <= 10; ++hour)
            QVERIFY(testsupport::writeFile(
                folder.file(u"Adatok/mentes/"_qs +
                            backup::backupFileName(kNow.addSecs((hour - 12) * 3600))),
                "x"));
        for (const QString& name : others)
            QVERIFY(testsupport::writeFile(folder.file(u"Adatok/mentes/"_qs + name), "x"));
        backup::backUpNow(kNow);
        QCOMPARE(namesOf(backup::listBackups()),
                 (QStringList{u"ZovavaZuvi2007-20071215-120000.mdb"_qs,
                              u"ZovavaZuvi2007-20071215-100000.mdb"_qs,
                              u"ZovavaZuvi2007-20071215-090000.mdb"_qs}));
        QVERIFY(!QFile::exists(folder.file(u"Adatok/mentes/"_qs + others[0])));
        QVERIFY(QFile::exists(folder.file(u"Adatok/mentes/"_qs + others[1])));
    }

    // At start a backup is taken when the newest is more than a day old and there are records.
    void backupAtStart_data() {
        QTest::addColumn<int>("newestHoursAgo");  // -1: no backup
        QTest::addColumn<bool>("records");
        QTest::addColumn<int>("backups");
        QTest::newRow("none yet") << -1 << true << 1;
        QTest::newRow("an hour old") << 1 << true << 1;
        QTest::newRow("two days old") << 48 << true << 2;
        QTest::newRow("no records") << -1 << false << 0;
    }

    void backupAtStart() {
        QFETCH(int, newestHoursAgo);
        QFETCH(bool, records);
        QFETCH(int, backups);
        ProgramFolder folder;
        if (newestHoursAgo >= 0)
            backup::backUpNow(kNow.addSecs(-3600 * newestHoursAgo));
        if (records)
            insertRecordWithItem();
        ScriptedMessages boxes;
        backup::backUpIfDue(backup::warnInWindow, kNow);
        QCOMPARE(backup::listBackups().size(), backups);
    }

    // A page of the database overwritten: at start the newest sound backup is offered; Yes
    // keeps the damaged file beside it and puts the backup in its place, No ends the start.
    void damagedDatabaseAtStart_data() {
        QTest::addColumn<bool>("newestDamagedToo");
        QTest::addColumn<Button>("answer");
        QTest::newRow("restored") << false << Button::Yes;
        QTest::newRow("the newest backup damaged too") << true << Button::Yes;
        QTest::newRow("declined") << false << Button::No;
    }

    void damagedDatabaseAtStart() {
        QFETCH(bool, newestDamagedToo);
        QFETCH(Button, answer);
        ProgramFolder folder;
        insertRecordWithItem();
        const QString sound = backup::backUpNow(kNow.addSecs(-60)).path;
        insertItems(2, 20000);  // the middle of the file is now items
        const QString newest = backup::backUpNow(kNow.addSecs(-30)).path;
        db::closeConnection();
        if (newestDamagedToo)
            damagePage(newest);
        damagePage(folder.databasePath());
        const QByteArray damaged = testsupport::readFile(folder.databasePath());
        ScriptedMessages boxes;
        boxes.answer(answer);
        if (answer == Button::No) {
            QCOMPARE(app::runInCurrentFolder(), 1);
            QCOMPARE(testsupport::readFile(folder.databasePath()), damaged);
            QCOMPARE(QDir(folder.file(u"Adatok"_qs)).entryList(QDir::Files).size(), 1);
            QVERIFY(boxes.takeTexts().value(0).contains(u"sérült: Page"_qs));
            return;
        }
        QVERIFY(backup::checkDatabaseAtStart(kNow));
        const QString texts = boxes.takeTexts().join(u'\n');
        QVERIFY2(texts.contains(u"Az adatbázis (Adatok/ZovavaZuvi2007.mdb) sérült: Page"_qs),
                 qPrintable(texts));
        QVERIFY2(texts.contains(newestDamagedToo ? u"2007.12.15. 11:59:00 (1 adatlap, 1 tétel)"_qs
                                                 : u"11:59:30 (1 adatlap, 20001 tétel)"_qs),
                 qPrintable(texts));
        QCOMPARE(testsupport::readFile(
                     folder.file(u"Adatok/ZovavaZuvi2007.mdb.serult-20071215-120000"_qs)),
                 damaged);
        QCOMPARE(backup::damageOf(folder.databasePath()), QString());
        db::openConnection();
        QCOMPARE(everythingIn(folder.databasePath()).size(), newestDamagedToo ? 2 : 20002);
        QCOMPARE(everythingIn(folder.databasePath()),
                 everythingIn(newestDamagedToo ? sound : newest));
    }
};

QTEST_MAIN(TestBackups)
#include "test_backups.moc"
