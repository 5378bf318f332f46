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
               {QStringLiteral("install"), testsupport::generatedDatabase(), dest});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        qFatal("vk_makedb install failed: %s", tool.readAllStandardError().constData());
    return QString::fromUtf8(tool.readAllStandardOutput());
}

int institutionCount(const QString& path) {
    db::openConnection(path);
    const int count = db::Query(QStringLiteral("select count(1) from AdatlapInt")).text(0).toInt();
    db::closeConnection();
    return count;
}

}  // namespace

class TestMakeDb : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rebuildKeepsUserRecords() {
        QTemporaryDir dir;
        const QString dest = dir.filePath(QStringLiteral("Adatok/ZovavaZuvi2007.mdb"));
        install(dest);
        QCOMPARE(institutionCount(dest), 0);

        db::openConnection(dest);
        db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, Adatszolgev) values (?, ?)"),
                    {QStringLiteral("12345676"), 2007});
        db::closeConnection();
        QVERIFY(install(dest).contains(QStringLiteral("kept")));
        QCOMPARE(institutionCount(dest), 1);
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

QTEST_MAIN(TestMakeDb)
#include "test_makedb.moc"
