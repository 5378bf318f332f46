#include "app/UnitKodfrissites.h"
#include "codetables/upgrade.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/schema_version.h"
#include "platform/failure.h"
#include "platform/layout.h"
#include "platform/settings.h"
#include "support/program_folder.h"

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using testsupport::readFile;
using testsupport::writeFile;

// The installed layout in a home of its own: the program in <prefix>/bin, its shipped database
// and code tables in <prefix>/share/velkor/, the user's data and settings and the machine's
// settings in temporary folders.
class TestInstalledLayout : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    QString shipped_;

    QString at(const QString& relative) const { return root_.filePath(relative); }
    platform::Layout layout() const { return platform::layoutFor(at(u"prefix/bin"_s)); }

private Q_SLOTS:
    void initTestCase() {
        qputenv("XDG_DATA_HOME", at(u"home/data"_s).toUtf8());
        qputenv("XDG_CONFIG_HOME", at(u"home/config"_s).toUtf8());
        qputenv("XDG_CONFIG_DIRS", at(u"etc/xdg"_s).toUtf8());
        shipped_ = at(u"prefix/share/velkor"_s);
        QVERIFY(QDir().mkpath(at(u"prefix/bin"_s)) && QDir().mkpath(shipped_ + u"/Adatok"_s));
        const QString codes = qEnvironmentVariable("VK_SOURCE_DIR") + u"/data/codes"_s;
        QVERIFY(QDir().mkpath(shipped_ + u"/codes"_s));
        for (const QString& file : QDir(codes).entryList(QDir::Files))
            QVERIFY(QFile::copy(codes + u'/' + file, shipped_ + u"/codes/"_s + file));
        const QString generated = testsupport::generatedDatabase();
        QVERIFY(QFile::copy(generated, shipped_ + u"/Adatok/ZovavaZuvi2007.mdb"_s));
        QVERIFY(QFile::copy(QFileInfo(generated).dir().filePath(u"kodtablak.sha256"_s),
                            shipped_ + u"/Adatok/kodtablak.sha256"_s));
    }

    void portableLayoutIsTheProgramFolder() {
        testsupport::ProgramFolder folder(false);
        const platform::Layout portable = platform::layoutFor(folder.path());
        QVERIFY(!portable.installed);
        QCOMPARE(portable.workingFolder, folder.path());
        QCOMPARE(platform::settingsFilePaths(portable), QStringList{folder.file(u"velkor.ini"_s)});
    }

    void firstStartFailsWithoutShippedDatabase() {
        QVERIFY(QFile::rename(shipped_ + u"/Adatok"_s, shipped_ + u"/Adatok.away"_s));
        QVERIFY_THROWS_EXCEPTION(platform::Failure, platform::enterWorkingFolder(layout()));
        QVERIFY(QFile::rename(shipped_ + u"/Adatok.away"_s, shipped_ + u"/Adatok"_s));
        QVERIFY(
            QDir(at(u"home/data"_s)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void firstStartMakesTheDataFolderAndLaterStartsKeepIt() {
        QCOMPARE(layout().workingFolder, at(u"home/data/velkor"_s));
        platform::enterWorkingFolder(layout());
        for (const char* made : {"Adatok/ZovavaZuvi2007.mdb", "text", "Listak", "kuldes/temp"})
            QVERIFY2(QFileInfo::exists(at(u"home/data/velkor/"_s) + QLatin1StringView(made)), made);
        QCOMPARE(QDir::currentPath(), at(u"home/data/velkor"_s));
        db::openConnection();
        QVERIFY(!codetables::upgradeWorkingDatabase([] {}));  // the shipped tables are already in
        db::execute(
            u"insert into AdatlapInt (Adosajat, Adatszolgev, Adatszolgnegyedev) values "
            u"('12345676', 2026, '3')"_s);
        db::execute(
            u"insert into AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, Tetelsorszam, "
            u"Artipus) values ('12345676', 2026, '3', 1, '6')"_s);
        db::closeConnection();
        platform::enterWorkingFolder(layout());
        db::openConnection();
        QCOMPARE(testsupport::rowsOf(u"select Adosajat from AdatlapInt"_s),
                 QStringList{u"12345676"_s});
        db::closeConnection();
    }

    void userSettingsOverrideTheMachines() {
        QVERIFY(QDir().mkpath(at(u"etc/xdg/velkor"_s)) &&
                QDir().mkpath(at(u"home/config/velkor"_s)));
        QVERIFY(writeFile(at(u"etc/xdg/velkor/velkor.ini"_s), "[ftp]\nhost=gep.hu\nport=2121\n"));
        QVERIFY(writeFile(at(u"home/config/velkor/velkor.ini"_s), "[ftp]\nhost=sajat.hu\n"));
        QCOMPARE(platform::settingsFilePath(), at(u"home/config/velkor/velkor.ini"_s));
        QCOMPARE(platform::ftpServerSetting().host, QStringLiteral("sajat.hu"));
        QCOMPARE(platform::ftpServerSetting().port, 2121);
    }

    void upgradeRefreshesCodeTablesOnceAndKeepsRecords() {
        // The new program no longer knows price type 6, which the stored item uses.
        const QString artipus = shipped_ + u"/codes/Torzs_Artipus.tsv"_s;
        QByteArray newer = readFile(artipus);
        QVERIFY(writeFile(artipus, newer.left(newer.indexOf("6\tEgyéb"))));
        db::openConnection();
        db::setSchemaVersion(0);  // as written before versions were kept
        int backups = 0;
        const auto backUp = [&] { ++backups; };
        const auto report = codetables::upgradeWorkingDatabase(backUp);
        QCOMPARE(backups, 1);
        QCOMPARE(db::schemaVersion(), db::kSchemaVersion);
        QVERIFY(report);
        QCOMPARE(report->dangling.size(), 1);
        QCOMPARE(report->dangling[0].code, QStringLiteral("6"));
        QCOMPARE(testsupport::rowsOf(u"select count(*) from Torzs_Artipus"_s), QStringList{u"5"_s});
        QCOMPARE(testsupport::rowsOf(u"select count(*) from AdatlapBR"_s), QStringList{u"1"_s});
        QVERIFY(!codetables::upgradeWorkingDatabase(backUp));  // shown once
        QCOMPARE(backups, 1);
        const TFormKodfrissites window(*report);
        QVERIFY(window.ListBox_hivatkozasok
                    ->findItems(u"AdatlapBR\t12345676/2026/3/1\tArtipus\t6"_s, Qt::MatchExactly)
                    .size() == 1);
        db::closeConnection();
    }

    void newerDatabaseIsRefusedUntouched() {
        const QString database = at(u"home/data/velkor/Adatok/ZovavaZuvi2007.mdb"_s);
        db::openConnection();
        db::setSchemaVersion(db::kSchemaVersion + 1);
        db::closeConnection();
        const QByteArray before = readFile(database);
        QVERIFY_THROWS_EXCEPTION(platform::Failure, db::openConnection());
        QVERIFY(!db::isConnected());
        QCOMPARE(readFile(database), before);
        QCOMPARE(db::schemaVersionOfFile(database), db::kSchemaVersion + 1);
    }
};

QTEST_MAIN(TestInstalledLayout)
#include "test_installed_layout.moc"
