#include "db/connection.h"
#include "db/query.h"
#include "support/program_folder.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Lays the generated database into dest as the build does; returns what the tool printed.
QString install(const QString& dest) {
    QProcess tool;
    tool.start(QStringLiteral(VK_MAKEDB),
               {QStringLiteral("install"), testsupport::generatedDatabase(),
                qEnvironmentVariable("VK_SOURCE_DIR") + QStringLiteral("/data/codes"), dest});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        qFatal("vk_makedb install failed: %s", tool.readAllStandardError().constData());
    return QString::fromUtf8(tool.readAllStandardOutput());
}

int rowCount(const QString& path, const QString& table) {
    db::openConnection(path);
    const int count =
        db::Query(QStringLiteral("select count(1) from %1").arg(table)).text(0).toInt();
    db::closeConnection();
    return count;
}

}  // namespace

class TestMakeDb : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A database with user records is kept, and its code tables are brought up to date: here an
    // outdated postal code list, and a record whose settlement code has been dropped.
    void rebuildKeepsUserRecordsAndRefreshesCodeTables() {
        QTemporaryDir dir;
        const QString dest = dir.filePath(QStringLiteral("Adatok/ZovavaZuvi2007.mdb"));
        install(dest);
        QCOMPARE(rowCount(dest, QStringLiteral("AdatlapInt")), 0);
        const int postalCodes = rowCount(dest, QStringLiteral("Torzs_IRSZ"));

        db::openConnection(dest);
        db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, Adatszolgev, "
                                   "Sz_telepuleskod) values (?, ?, ?)"),
                    {QStringLiteral("12345676"), 2007, QStringLiteral("99999")});
        db::execute(QStringLiteral("delete from Torzs_IRSZ where id > ?"), {QStringLiteral("2")});
        const int kept =
            db::Query(QStringLiteral("select count(1) from Torzs_IRSZ")).text(0).toInt();
        db::closeConnection();
        const QString printed = install(dest);
        QVERIFY2(printed.contains(QStringLiteral("kept")), qPrintable(printed));
        QVERIFY2(printed.contains(
                     QStringLiteral("Torzs_IRSZ: %1 → %2 sor\n").arg(kept).arg(postalCodes)),
                 qPrintable(printed));
        QVERIFY2(
            printed.contains(QStringLiteral("AdatlapInt\t12345676/2007/\tSz_telepuleskod\t99999")),
            qPrintable(printed));
        QCOMPARE(rowCount(dest, QStringLiteral("AdatlapInt")), 1);
        QCOMPARE(rowCount(dest, QStringLiteral("Torzs_IRSZ")), postalCodes);
    }

    void rebuildReplacesUntouchedDatabase() {
        QTemporaryDir dir;
        const QString dest = dir.filePath(QStringLiteral("ZovavaZuvi2007.mdb"));
        install(dest);
        db::openConnection(dest);
        db::execute(QStringLiteral("delete from Torzs_Artipus"));
        db::closeConnection();
        install(dest);
        db::openConnection(dest);
        QVERIFY(db::Query(QStringLiteral("select count(1) from Torzs_Artipus")).text(0).toInt() >
                0);
        db::closeConnection();
    }
};

QTEST_GUILESS_MAIN(TestMakeDb)
#include "test_makedb.moc"
