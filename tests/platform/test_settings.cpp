#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// velkor.ini as a user writes it by hand, read from the current folder.
class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsTheSettingsFile_data() {
        QTest::addColumn<QByteArray>("ini");  // empty: no file at all
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("mediaFolder");
        QTest::newRow("no file") << QByteArray() << "" << 21 << "";
        QTest::newRow("host only")
            << QByteArray("[ftp]\r\nhost=ftp.gyujto.hu\r\n") << "ftp.gyujto.hu" << 21 << "";
        QTest::newRow("host and port, blanks around")
            << QByteArray("[ftp]\nhost = 10.1.2.3 \nport = 2121\n[media]\nfolder=/media/pendrive\n")
            << "10.1.2.3" << 2121 << "/media/pendrive";
        QTest::newRow("port not a number")
            << QByteArray("[ftp]\nhost=h\nport=huszonegy\n") << "h" << 21 << "";
        QTest::newRow("port 0") << QByteArray("[ftp]\nhost=h\nport=0\n") << "h" << 21 << "";
        QTest::newRow("port too large")
            << QByteArray("[ftp]\nhost=h\nport=65536\n") << "h" << 21 << "";
        QTest::newRow("highest port") << QByteArray("[ftp]\nport=65535\n") << "" << 65535 << "";
        QTest::newRow("keys of another group")
            << QByteArray("[media]\nhost=h\nport=2121\n") << "" << 21 << "";
        QTest::newRow("folder with accents and blanks")
            << QByteArray("[media]\nfolder=\"/media/Kovács Éva/USB lemez\"\n") << "" << 21
            << "/media/Kovács Éva/USB lemez";
    }

    void readsTheSettingsFile() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, mediaFolder);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        if (!ini.isEmpty()) {
            QFile file(QStringLiteral("velkor.ini"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(ini);
        }
        const platform::FtpServerSetting server = platform::ftpServerSetting();
        const QString folder = platform::mediaFolderSetting();
        QDir::setCurrent(previous);
        QCOMPARE(platform::settingsFilePath(), QDir(previous).absoluteFilePath(u"velkor.ini"_s));
        QCOMPARE(server.host, host);
        QCOMPARE(int{server.port}, port);
        QCOMPARE(folder, mediaFolder);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
