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
    platform::Layout layout() const { return platform::layoutFor(at("prefix/bin")); }

private Q_SLOTS:
    void initTestCase() {
        qputenv("XDG_DATA_HOME", at("home/data").toUtf8());
        qputenv("XDG_CONFIG_HOME", at("home/config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", at("etc/xdg").toUtf8());
        shipped_ = at("prefix/share/velkor");
        QVERIFY(QDir().mkpath(at("prefix/bin")) && QDir().mkpath(shipped_ + "/Adatok"));
        const QString codes = qEnvironmentVariable("VK_SOURCE_DIR") + "/data/codes";
        QVERIFY(QDir().mkpath(shipped_ + "/codes"));
        for (const QString& file : QDir(codes).entryList(QDir::Files))
            QVERIFY(QFile::copy(codes + '/' + file, shipped_ + "/codes/" + file));
        const QString generated = testsupport::generatedDatabase();
        QVERIFY(QFile::copy(generated, shipped_ + "/Adatok/ZovavaZuvi2007.mdb"));
        QVERIFY(QFile::copy(QFileInfo(generated).dir().filePath("kodtablak.sha256"),
                            shipped_ + "/Adatok/kodtablak.sha256"));
    }

    void portableLayoutIsTheProgramFolder() {
        testsupport::ProgramFolder folder(false);
        const platform::Layout portable = platform::layoutFor(folder.path());
        QVERIFY(!portable.installed);
        QCOMPARE(portable.workingFolder, folder.path());
        QCOMPARE(platform::settingsFilePaths(portable), QStringList{folder.file("velkor.ini")});
    }

    void firstStartFailsWithoutShippedDatabase() {
        QVERIFY(QFile::rename(shipped_ + "/Adatok", shipped_ + "/Adatok.away"));
        QVERIFY_THROWS_EXCEPTION(platform::Failure, platform::enterWorkingFolder(layout()));
        QVERIFY(QFile::rename(shipped_ + "/Adatok.away", shipped_ + "/Adatok"));
        QVERIFY(QDir(at("home/data")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void firstStartMakesTheDataFolderAndLaterStartsKeepIt() {
        QCOMPARE(layout().workingFolder, at("home/data/velkor"));
        platform::enterWorkingFolder(layout());
        for (const char* made : {"Adatok/ZovavaZuvi2007.mdb", "text", "Listak", "kuldes/temp"})
            QVERIFY2(QFileInfo::exists(at("home/data/velkor/") + made), made);
        QCOMPARE(QDir::currentPath(), at("home/data/velkor"));
        db::openConnection();
        QVERIFY(!codetables::upgradeWorkingDatabase([] {}));  // the shipped tables are already in
        db::execute(
            "insert into AdatlapInt (Adosajat, Adatszolgev, Adatszolgnegyedev) values "
            "('12345676', 2026, '3')");
        db::execute(
            "insert into AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, Tetelsorszam, "
            "Artipus) values ('12345676', 2026, '3', 1, '6')");
        db::closeConnection();
        platform::enterWorkingFolder(layout());
        db::openConnection();
        QCOMPARE(testsupport::rowsOf("select Adosajat from AdatlapInt"), QStringList{"12345676"});
        db::closeConnection();
    }

    void userSettingsOverrideTheMachines() {
        QVERIFY(QDir().mkpath(at("etc/xdg/velkor")) && QDir().mkpath(at("home/config/velkor")));
        QVERIFY(writeFile(at("etc/xdg/velkor/velkor.ini"), "[ftp]\nhost=gep.hu\nport=2121\n"));
        QVERIFY(writeFile(at("home/config/velkor/velkor.ini"), "[ftp]\nhost=sajat.hu\n"));
        QCOMPARE(platform::settingsFilePath(), at("home/config/velkor/velkor.ini"));
        QCOMPARE(platform::ftpServerSetting().host, QStringLiteral("sajat.hu"));
        QCOMPARE(platform::ftpServerSetting().port, 2121);
    }

    void upgradeRefreshesCodeTablesOnceAndKeepsRecords() {
        // The new program no longer knows price type 6, which the stored item uses.
        const QString artipus = shipped_ + "/codes/Torzs_Artipus.tsv";
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
        QCOMPARE(testsupport::rowsOf("select count(*) from Torzs_Artipus"), QStringList{"5"});
        QCOMPARE(testsupport::rowsOf("select count(*) from AdatlapBR"), QStringList{"1"});
        QVERIFY(!codetables::upgradeWorkingDatabase(backUp));  // shown once
        QCOMPARE(backups, 1);
        const TFormKodfrissites window(*report);
        QVERIFY(window.ListBox_hivatkozasok
                    ->findItems("AdatlapBR\t12345676/2026/3/1\tArtipus\t6", Qt::MatchExactly)
                    .size() == 1);
        db::closeConnection();
    }

    void newerDatabaseIsRefusedUntouched() {
        const QString database = at("home/data/velkor/Adatok/ZovavaZuvi2007.mdb");
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
