#include "db/connection.h"
#include "db/query.h"
#include "ftp_test_server.h"
#include "support/program_folder.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
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

// A data provider's record of the quarter with two items, the first priced 38.5.
void insertProvider(const QString& adosajat, int year, int quarter) {
    db::execute(QStringLiteral("insert into AdatlapInt values (?, 'Városi Kórház', '12', '01508', "
                               "'2660', 'x', 'Fő utca', '1', '2441', '11', '123456', 'Kiss Anna', "
                               "'nincs', '1234', 'Nagy Béla', 'nincs', '5678', ?, ?)"),
                {adosajat, year, QString::number(quarter)});
    const QString month = QStringLiteral("%1").arg(quarter * 3 - 2, 2, 10, QChar(u'0'));
    for (int number = 1; number <= 2; ++number)
        db::execute(QStringLiteral("insert into AdatlapBR values (?, ?, ?, ?, ?, '1', '1010', "
                                   "'24421300', '30049019', 'Fecskendő', '01', 10, '1', '01', "
                                   "'1', ?, 40.25)"),
                    {adosajat, year, QString::number(quarter), month, number, 38.5 * number});
}

// The program's output and exit status under the NAME=VALUE pairs.
QPair<QString, int> run(const QString& program, const QStringList& arguments,
                        const QStringList& environment = {}) {
    QProcess velkor;
    // As a scheduled job runs it: no session.
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    for (const QString& variable : environment)
        variables.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    velkor.setProcessEnvironment(variables);
    velkor.start(program, arguments);
    velkor.waitForFinished(60000);
    return {QString::fromUtf8(velkor.readAllStandardOutput()) +
                QString::fromUtf8(velkor.readAllStandardError()),
            velkor.exitCode()};
}

// Every file of the folders, by path, with its bytes.
QMap<QString, QByteArray> filesOf(const QStringList& folders) {
    QMap<QString, QByteArray> files;
    for (const QString& folder : folders) {
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            files.insert(folder + u'/' + name, readFile(folder + u'/' + name));
    }
    return files;
}

int uploadsTo(const FtpTestServer& server) {
    int uploads = 0;
    for (const QStringList& session : server.sessions())
        uploads += static_cast<int>(session.filter(QRegularExpression(u"^STOR "_qs)).size());
    return uploads;
}

}  // namespace

class TestSendCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // 2007/1 of 11111111 is saved, then `before` is done ("sql:", "provider", "run:" arguments,
    // "empty:" a file). server: a test server's mode, the TLS mode, "cafile", "unwritable" (a
    // velkor.ini that cannot be replaced). "archived" and "copied" check what the run left;
    // uploads counts the files the server took (-1: not counted). No text file is added, deleted
    // or changed by the command.
    void command_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("output");
        QTest::addColumn<QString>("left");
        QTest::addColumn<int>("uploads");

        const QString sent = QStringLiteral("2007_1_11111111_KJ.zip: Küldés rendben.");
        const QStringList send{QStringLiteral("--send"), QStringLiteral("2007"),
                               QStringLiteral("1")};
        const QStringList copy{u"--copy"_qs, u"2007"_qs, u"1"_qs, u"%folder/medium"_qs};
        const QStringList print{u"--print"_qs, u"2007"_qs, u"1"_qs};
        const QStringList none;
        QTest::newRow("send to pyftpdlib")
            << "normal" << none << send << 0 << QStringList{sent} << "archived" << 3;
        QTest::newRow("send to vsftpd over TLS") << "vsftpd-tls required cafile" << none << send
                                                 << 0 << QStringList{sent} << "archived" << -1;
        QTest::newRow("login refused")
            << "login-530" << none << send << 1
            << QStringList{QStringLiteral("  Ok: a szerver elutasította a bejelentkezést (530 "
                                          "Login incorrect.)")}
            << "" << 0;
        QTest::newRow("no saved report of the period")
            << "normal" << none << QStringList{u"--send"_qs, u"2008"_qs, u"1"_qs} << 1
            << QStringList{QStringLiteral(
                   "A(z) 2008. év 1. negyedév jelentése nem küldhető el: a(z) 2008. év 1. "
                   "negyedév jelentése nincs elmentve: mentse el.")}
            << "" << 0;
        // The certificate's reasons in the toolkit's Hungarian, as the window shows them.
        QTest::newRow("certificate not pinned")
            << "vsftpd-tls required" << none << send << 1
            << QStringList{QStringLiteral("SHA-256 ujjlenyomat: %fingerprint"),
                           QStringLiteral("A tanúsítvány önaláírt és nem megbízható")}
            << "" << -1;
        // The server agrees to TLS once, then offers plain FTP: the agreement, not kept, still
        // holds for the run.
        QTest::newRow("agreement to TLS not kept")
            << "tls-once auto cafile unwritable" << none << send << 1
            << QStringList{QStringLiteral("nem írható (Is a directory), ezért a program nem "
                                          "jegyezhette meg, hogy a szerver (127.0.0.1:"),
                           QStringLiteral("2007_1_11111111_BR.zip: Nem sikerült felvenni"),
                           QStringLiteral("korábban titkosított kapcsolatot fogadott el")}
            << "" << -1;
        QTest::newRow("copy") << "" << none << copy << 0
                              << QStringList{QStringLiteral("3 állomány átmásolva: %folder/medium")}
                              << "copied" << -1;
        QTest::newRow("copy into the program's own folder")
            << "" << none << QStringList{u"--copy"_qs, u"2007"_qs, u"1"_qs, u"%folder/text"_qs} << 1
            << QStringList{QStringLiteral(
                   "A(z) %folder/text mappa a program saját mappája, oda nem másolható.")}
            << "" << -1;
        QTest::newRow("copy to no folder")
            << "" << none << QStringList{u"--copy"_qs, u"2007"_qs, u"1"_qs, u"%folder/missing"_qs}
            << 1 << QStringList{QStringLiteral("A mappa nem érhető el: %folder/missing")} << ""
            << -1;
        // No print service answers the tests (CUPS_SERVER): the machine's own printers get nothing.
        // "!" before a line: it must not be there.
        QTest::newRow("print without a printer")
            << "" << none << print << 1
            << QStringList{QStringLiteral("Nincs kiválasztott nyomtató, ezért a nyomtatás nem "
                                          "indult el."),
                           QStringLiteral("!XDG_RUNTIME_DIR")}
            << "" << -1;
        QTest::newRow("help") << "" << none << QStringList{u"--help"_qs} << 0
                              << QStringList{QStringLiteral("Használat:"),
                                             QStringLiteral("Parancsok:"),
                                             QStringLiteral("  velkor --listing ÉV NEGYEDÉV\n"),
                                             QStringLiteral(
                                                 "  velkor --carry-forward ADÓSZÁM ÉV NEGYEDÉV\n"),
                                             QStringLiteral("!Usage"),
                                             QStringLiteral("!Options"),
                                             QStringLiteral("!Arguments")}
                              << "" << -1;

        // A report that is not the period's current save leaves neither way.
        const QString changed = QStringLiteral(
            "a(z) 2007. év 1. negyedév adatai a mentés óta megváltoztak: mentse újra.");
        const QStringList priceChanged{
            u"sql:update AdatlapBR set Tegysegar = 45 where Tetelsorszam = 1"_qs};
        QTest::newRow("price changed: send")
            << "normal" << priceChanged << send << 1
            << QStringList{u"A(z) 2007. év 1. negyedév jelentése nem küldhető el: "_qs + changed}
            << "" << 0;
        QTest::newRow("price changed: copy")
            << "" << priceChanged << copy << 1 << QStringList{u"nem másolható: "_qs + changed} << ""
            << -1;
        QTest::newRow("price changed: print")
            << "" << priceChanged << print << 1 << QStringList{u"nem nyomtatható: "_qs + changed}
            << "" << -1;
        QTest::newRow("provider carried into the saved quarter")
            << "normal"
            << QStringList{u"provider 22222222 2006 4"_qs,
                           u"run:--carry-forward 22222222 2006 4"_qs}
            << send << 1 << QStringList{changed} << "" << 0;
        QTest::newRow("report file emptied")
            << "normal" << QStringList{u"empty:text/2007_1_11111111_BI.txt"_qs} << send << 1
            << QStringList{QStringLiteral(
                   "hiányzik vagy megváltozott: text/2007_1_11111111_BI.txt.")}
            << "" << 0;

        // A nightly job may send every night: an unchanged report goes once, unless asked.
        const QStringList sentBefore{u"run:--send 2007 1"_qs};
        QTest::newRow("sent already")
            << "normal" << sentBefore << send << 0
            << QStringList{QStringLiteral("A(z) 2007. év 1. negyedév jelentését "),
                           QStringLiteral("-kor már elküldte (kuldes/")}
            << "archived" << 3;
        QTest::newRow("sent again") << "normal" << sentBefore << send + QStringList{u"--again"_qs}
                                    << 0 << QStringList{sent} << "archived" << 6;

        // A period that is none is refused before anything is deleted.
        const QString usage = QStringLiteral("Használat: velkor --save ÉV NEGYEDÉV");
        for (const QStringList& period :
             {QStringList{u"02031"_qs, u"3"_qs}, QStringList{u"2031"_qs, u"9"_qs},
              QStringList{u"abc"_qs, u"3"_qs}, QStringList{u"2031"_qs}})
            QTest::newRow(qPrintable(u"save "_qs + period.join(u' ')))
                << "" << none << QStringList{u"--save"_qs} + period << 2 << QStringList{usage} << ""
                << -1;
        QTest::newRow("save a period without records")
            << "" << none << QStringList{u"--save"_qs, u"2031"_qs, u"3"_qs} << 1
            << QStringList{QStringLiteral("A(z) 2031. év 3. negyedévére nincs adatlap; nem történt "
                                          "mentés.")}
            << "" << -1;
    }

    void command() {
        QFETCH(QString, server);
        QFETCH(QStringList, before);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, output);
        QFETCH(QString, left);
        QFETCH(int, uploads);
        ProgramFolder folder(false);
        const QString program = folder.copyProgram();
        QVERIFY(QDir().mkdir(folder.file(QStringLiteral("medium"))));
        db::openConnection();
        insertProvider(QStringLiteral("11111111"), 2007, 1);
        db::closeConnection();
        QCOMPARE(run(program, {u"--save"_qs, u"2007"_qs, u"1"_qs}).second, 0);
        const QMap<QString, QByteArray> saved = filesOf({u"text"_qs, u"kuldes/temp"_qs});

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
            output.replaceInStrings(
                QStringLiteral("%fingerprint"),
                QString::fromLatin1(QByteArray::fromHex(fingerprint).toHex(':').toUpper()));
        }
        for (const QString& step : before) {
            if (step.startsWith(u"sql:")) {
                db::openConnection();
                db::execute(step.mid(4));
                db::closeConnection();
            } else if (step.startsWith(u"provider ")) {
                db::openConnection();
                insertProvider(step.section(u' ', 1, 1), step.section(u' ', 2, 2).toInt(),
                               step.section(u' ', 3, 3).toInt());
                db::closeConnection();
            } else if (step.startsWith(u"empty:")) {
                QVERIFY(testsupport::writeFile(step.mid(6), {}));
            } else {
                const auto [printed, status] = run(program, step.mid(4).split(u' '));
                QVERIFY2(status == 0, qPrintable(printed));
            }
        }
        const QStringList textFolders{u"text"_qs, u"kuldes/temp"_qs};
        QMap<QString, QByteArray> texts = filesOf(textFolders);
        arguments.replaceInStrings(QStringLiteral("%folder"), folder.path());
        output.replaceInStrings(QStringLiteral("%folder"), folder.path());

        const auto [printed, status] = run(program, arguments);
        QVERIFY2(status == exitCode, qPrintable(printed));
        for (const QString& line : output)
            QVERIFY2(
                line.startsWith(u'!') ? !printed.contains(line.mid(1)) : printed.contains(line),
                qPrintable(line + u'\n' + printed));
        QMap<QString, QByteArray> textsAfter = filesOf(textFolders);
        textsAfter.removeIf([](const auto& file) { return !file.key().endsWith(u".txt"); });
        texts.removeIf([](const auto& file) { return !file.key().endsWith(u".txt"); });
        QCOMPARE(textsAfter.keys(), texts.keys());
        QVERIFY(textsAfter == texts);

        // Every file sent is in the archive, compressed and as text, both as the save run wrote
        // them; nothing else reached the server or the medium.
        const QString archive = folder.file(
            QStringLiteral("kuldes/") +
            QDir(folder.file(QStringLiteral("kuldes"))).entryList({u"2*"_qs}).value(0) + u'/');
        for (const QString& path : kReports) {
            const QString name = QFileInfo(path).fileName();
            const QString zip = name.chopped(4) + QStringLiteral(".zip");
            if (left == u"archived") {
                QCOMPARE(readFile(archive + name), saved.value(path));
                QCOMPARE(inflated(readFile(archive + zip)), saved.value(path));
                QCOMPARE(readFile(ftp->root() + u'/' + zip), readFile(archive + zip));
            }
            QCOMPARE(readFile(folder.file(QStringLiteral("medium/") + name)),
                     left == u"copied" ? saved.value(path) : QByteArray());
        }
        // The server counts a session once it sees it closed, which may be after the program ended.
        if (ftp && uploads >= 0)
            QTRY_COMPARE_WITH_TIMEOUT(uploadsTo(*ftp), uploads, testsupport::kServerLogMs);
    }

    // The report's bytes do not depend on the locale of whoever saves: a job under LANG=C writes
    // what the clerk's Hungarian run writes, with the comma the collecting organisation reads.
    void sameBytesInEveryLocale() {
        ProgramFolder folder(false);
        const QString program = folder.copyProgram();
        db::openConnection();
        insertProvider(QStringLiteral("11111111"), 2007, 1);
        db::closeConnection();
        const QStringList folders{u"text"_qs, u"kuldes/temp"_qs, u"Listak"_qs};
        QList<QMap<QString, QByteArray>> written;
        for (const QString& locale : {u"C"_qs, u"hu_HU.UTF-8"_qs, u"en_US.UTF-8"_qs}) {
            const auto [printed, status] = run(program, {u"--save"_qs, u"2007"_qs, u"1"_qs},
                                               {u"LC_ALL="_qs + locale, u"LANG="_qs + locale});
            QVERIFY2(status == 0, qPrintable(printed));
            written.append(filesOf(folders));
        }
        QVERIFY(written[0].value(u"text/2007_1_11111111_BR.txt"_qs).contains("     38,5"));
        QCOMPARE(written[0].keys(), written[1].keys());
        QVERIFY(written[0] == written[1]);
        QVERIFY(written[0] == written[2]);
    }
};

QTEST_GUILESS_MAIN(TestSendCommand)
#include "test_send_command.moc"
