#include "ftp_test_server.h"
#include "support/program_folder.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTest>

#include <memory>

using testsupport::FtpTestServer;
using testsupport::inflated;
using testsupport::ProgramFolder;
using testsupport::readFile;

namespace {

const QStringList kReports{QStringLiteral("text/2007_1_11111111_BI.txt"),
                           QStringLiteral("text/2007_1_11111111_BR.txt"),
                           QStringLiteral("kuldes/temp/2007_1_11111111_KJ.txt")};

QByteArray contentOf(const QString& path) {
    return path.toLatin1().repeated(500) + "\r\n";
}

}  // namespace

class TestSendCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // server: a mode of the test server, then the TLS mode (off unless given), then "cafile" for
    // the server's certificate as cafile and "unwritable" for a velkor.ini that cannot be
    // replaced; none for the copy and the print. %folder stands for the
    // program folder, %fingerprint for the server's as the send window shows it. The output holds
    // every line of `output`; "archived" and "copied" check what the run left.
    void command_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("output");
        QTest::addColumn<QString>("left");

        const QString sent = QStringLiteral("2007_1_11111111_KJ.zip: Küldés rendben.");
        const QStringList send{QStringLiteral("--send"), QStringLiteral("2007"),
                               QStringLiteral("1")};
        QTest::newRow("send to pyftpdlib")
            << "normal" << send << 0 << QStringList{sent} << "archived";
        QTest::newRow("send to vsftpd over TLS")
            << "vsftpd-tls required cafile" << send << 0 << QStringList{sent} << "archived";
        QTest::newRow("login refused")
            << "login-530" << send << 1
            << QStringList{QStringLiteral("  Ok: a szerver elutasította a bejelentkezést (530 "
                                          "Login incorrect.)")}
            << "";
        QTest::newRow("no file of the period")
            << "normal" << QStringList{"--send", "2008", "1"} << 1
            << QStringList{QStringLiteral(
                   "Nincs elküldendő állomány a(z) 2008. év 1. negyedévére.")}
            << "";
        // The certificate's reasons in the toolkit's Hungarian, as the window shows them.
        QTest::newRow("certificate not pinned")
            << "vsftpd-tls required" << send << 1
            << QStringList{QStringLiteral("SHA-256 ujjlenyomat: %fingerprint"),
                           QStringLiteral("A tanúsítvány önaláírt és nem megbízható")}
            << "";
        // The server agrees to TLS once, then offers plain FTP: the agreement, not kept, still
        // holds for the run.
        QTest::newRow("agreement to TLS not kept")
            << "tls-once auto cafile unwritable" << send << 1
            << QStringList{QStringLiteral("nem írható (Is a directory), ezért a program nem "
                                          "jegyezhette meg, hogy a szerver (127.0.0.1:"),
                           QStringLiteral("2007_1_11111111_BR.zip: Nem sikerült felvenni"),
                           QStringLiteral("korábban titkosított kapcsolatot fogadott el")}
            << "";
        QTest::newRow("copy") << "" << QStringList{"--copy", "2007", "1", "%folder/medium"} << 0
                              << QStringList{QStringLiteral("3 állomány átmásolva: %folder/medium")}
                              << "copied";
        QTest::newRow("copy into the program's own folder")
            << "" << QStringList{"--copy", "2007", "1", "%folder/text"} << 1
            << QStringList{QStringLiteral(
                   "A(z) %folder/text mappa a program saját mappája, oda nem másolható.")}
            << "";
        QTest::newRow("copy to no folder")
            << "" << QStringList{"--copy", "2007", "1", "%folder/missing"} << 1
            << QStringList{QStringLiteral("A mappa nem érhető el: %folder/missing")} << "";
        // No print service answers the tests (CUPS_SERVER): the machine's own printers get nothing.
        QTest::newRow("print without a printer")
            << "" << QStringList{"--print", "2007", "1"} << 1
            << QStringList{QStringLiteral("Nincs kiválasztott nyomtató, ezért a nyomtatás nem "
                                          "indult el."),
                           QStringLiteral("!XDG_RUNTIME_DIR")}
            << "";
        // "!" before a line: it must not be there.
        QTest::newRow("help") << "" << QStringList{"--help"} << 0
                              << QStringList{QStringLiteral("Használat:"),
                                             QStringLiteral("Parancsok:"),
                                             QStringLiteral("  velkor --listing ÉV NEGYEDÉV\n"),
                                             QStringLiteral(
                                                 "  velkor --carry-forward ADÓSZÁM ÉV NEGYEDÉV\n"),
                                             QStringLiteral("!Usage"),
                                             QStringLiteral("!Options"),
                                             QStringLiteral("!Arguments")}
                              << "";
    }

    void command() {
        QFETCH(QString, server);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, output);
        QFETCH(QString, left);
        ProgramFolder folder(false);
        const QString program = folder.copyProgram();
        QVERIFY(QDir().mkdir(folder.file(QStringLiteral("medium"))));
        for (const QString& path : kReports)
            QVERIFY(testsupport::writeFile(folder.file(path), contentOf(path)));

        std::unique_ptr<FtpTestServer> ftp;
        if (!server.isEmpty()) {
            const auto account = transmission::collectingServerAccount();
            ftp = std::make_unique<FtpTestServer>(server.section(u' ', 0, 0), account.user,
                                                  account.password);
            if (!ftp->isRunning())
                QSKIP(qPrintable(ftp->error()));
            const QString settingsFile = folder.file(QStringLiteral("velkor.ini"));
            ftp->writeSettingsFile(settingsFile);
            QSettings settings(settingsFile, QSettings::IniFormat);
            settings.setValue(QStringLiteral("ftp/tls"),
                              (server + QStringLiteral(" off")).section(u' ', 1, 1));
            if (server.contains(u" cafile"))
                settings.setValue(QStringLiteral("ftp/cafile"), ftp->certificate());
            settings.sync();
            if (server.endsWith(u" unwritable"))
                QVERIFY(QDir().mkdir(settingsFile + QStringLiteral(".tmp")));
            const QByteArray fingerprint = ftp->fingerprint().toLatin1().mid(7);
            output.replaceInStrings(QStringLiteral("%fingerprint"),
                                    QByteArray::fromHex(fingerprint).toHex(':').toUpper());
        }
        arguments.replaceInStrings(QStringLiteral("%folder"), folder.path());
        output.replaceInStrings(QStringLiteral("%folder"), folder.path());

        QProcess velkor;
        // As a scheduled job runs it: no session.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        velkor.setProcessEnvironment(environment);
        velkor.start(program, arguments);
        QVERIFY(velkor.waitForFinished(60000));
        const QString printed = QString::fromUtf8(velkor.readAllStandardOutput()) +
                                QString::fromUtf8(velkor.readAllStandardError());
        QVERIFY2(velkor.exitCode() == exitCode, qPrintable(printed));
        for (const QString& line : output)
            QVERIFY2(
                line.startsWith(u'!') ? !printed.contains(line.mid(1)) : printed.contains(line),
                qPrintable(line + u'\n' + printed));

        // Every file sent is in the archive, compressed and as text, both intact.
        const QString archive = folder.file(
            QStringLiteral("kuldes/") +
            QDir(folder.file(QStringLiteral("kuldes"))).entryList({"2*"}).value(0) + u'/');
        for (const QString& path : kReports) {
            const QString name = QFileInfo(path).fileName();
            const QString zip = name.chopped(4) + QStringLiteral(".zip");
            if (left == u"archived") {
                QCOMPARE(readFile(archive + name), contentOf(path));
                QCOMPARE(inflated(readFile(archive + zip)), contentOf(path));
                QCOMPARE(readFile(ftp->root() + u'/' + zip), readFile(archive + zip));
            }
            QCOMPARE(readFile(folder.file(QStringLiteral("medium/") + name)),
                     left == u"copied" ? contentOf(path) : QByteArray());
            QCOMPARE(readFile(folder.file(path)), contentOf(path));
        }
    }
};

QTEST_GUILESS_MAIN(TestSendCommand)
#include "test_send_command.moc"
