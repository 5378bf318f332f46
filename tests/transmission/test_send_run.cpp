#include "ftp_test_server.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"
#include "transmission/widgets/UnitKuldes.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <memory>

using namespace Qt::StringLiterals;
using platform::MessageKind;
using testsupport::FtpTestServer;
using testsupport::inflated;
using testsupport::kServerLogMs;
using testsupport::ProgramFolder;
using testsupport::readFile;
using testsupport::ScriptedMessages;
using testsupport::ShownBox;

namespace {

const QDateTime kStart(QDate(2007, 5, 12), QTime(14, 5, 10));
const QString kArchive = QStringLiteral("kuldes/20070512_14_05/");

const QString kSuccess = QStringLiteral(
    "Sikeres küldés! Amennyiben van rá módja, nyomtassa ki most a kisérőjegyzéket, ha nincs, "
    "tegye ezt meg később a %1 file-ból!");
const QString kFailure = QStringLiteral(
    "Hiba történt a küldés folyamán! Kérem ellenőrizze, hogy a gép kapcsolódik-e az internethez, "
    "és próbálja meg újra elküldeni!");

// The report files of one data provider, as a save run leaves them.
QStringList reportFiles(const QString& adosajat, const QStringList& kinds) {
    QStringList paths;
    for (const QString& kind : kinds) {
        const QString folder =
            kind == u"KJ" ? QStringLiteral("kuldes/temp/") : QStringLiteral("text/");
        paths.append(folder + QStringLiteral("2007_1_%1_%2.txt").arg(adosajat, kind));
    }
    return paths;
}

// Distinct Windows-1250 text per file, long enough to be sent in more than one block.
QByteArray contentOf(const QString& path) {
    QByteArray text;
    for (int line = 0; line < 3000; ++line)
        text += path.toLatin1() + " \xE1rv\xED\x7Ez 12,50 " + QByteArray::number(line) + "\r\n";
    return text;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString nameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

QString zipNameOf(const QString& path) {
    return nameOf(path).chopped(4) + QStringLiteral(".zip");
}

QStringList lines(const QString& path, const QStringList& events) {
    QStringList lines;
    for (const QString& event : events)
        lines.append(event.startsWith(u' ') ? event
                                            : zipNameOf(path) + QStringLiteral(": ") + event);
    return lines;
}

const QString kConnecting = QStringLiteral("Kapcsolódás ...");
const QString kSending = QStringLiteral("Adatküldés ...");
const QString kSent = QStringLiteral("Küldés rendben.");
const QString kFailed = QStringLiteral("Sikertelen küldés. Próbálja újra!");
const QString kNoConnection =
    QStringLiteral("Nem sikerült felvenni a kapcsolatot az FTP szerverrel. Próbálja újra!");

// The files the server received, in the order of their STOR commands, one per login.
QStringList uploadsPerLogin(const FtpTestServer& server) {
    QStringList uploads;
    for (const QStringList& session : server.sessions()) {
        const QStringList stored = session.filter(QRegularExpression(QStringLiteral("^STOR ")));
        if (stored.isEmpty())
            continue;
        if (session.filter(QRegularExpression(QStringLiteral("^USER zovavazuvi$"))).size() != 1 ||
            stored.size() != 1)
            return {QStringLiteral("session without one login and one upload: ") +
                    session.join(u',')};
        uploads.append(stored.first().mid(5));
    }
    return uploads;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

// The archive's checksum list names exactly the archived files, and "sha256sum -c" confirms
// each of them.
void verifyChecksums(const QStringList& archived) {
    QProcess check;
    check.setWorkingDirectory(kArchive);
    check.start(QStringLiteral("sha256sum"), {QStringLiteral("-c"), QStringLiteral("SHA256SUMS")});
    QVERIFY(check.waitForFinished());
    QCOMPARE(check.exitCode(), 0);
    QStringList confirmed;
    for (const QString& name : archived)
        confirmed << name + QStringLiteral(": OK");
    QCOMPARE(QString::fromUtf8(check.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
             confirmed);
}

}  // namespace

class TestSendRun : public QObject {
    Q_OBJECT

    // The program's own time limits, unless the server is meant to stay silent: the limit then
    // is short, so that the test does not wait long for it to run out.
    std::unique_ptr<TFormKuldes> runSend(const QDateTime& start = kStart, bool silent = false) {
        using namespace std::chrono_literals;
        return std::make_unique<TFormKuldes>(
            nullptr, QStringLiteral("2007"), QStringLiteral("1"), [start] { return start; },
            silent ? transmission::FtpTimeouts{2s, 1s, 1s} : transmission::FtpTimeouts{});
    }

    // The lines of the send window's log.
    static QStringList shownLog(const TFormKuldes& window) {
        QStringList shown;
        for (int row = 0; row < window.ListBox_FTPLog->count(); ++row)
            shown.append(window.ListBox_FTPLog->item(row)->text());
        return shown;
    }

    // A server the program's account logs in to, named in velkor.ini with the TLS mode.
    std::unique_ptr<FtpTestServer> startServer(const QString& mode,
                                               const QString& tls = QStringLiteral("off")) {
        const auto account = transmission::collectingServerAccount();
        auto server = std::make_unique<FtpTestServer>(mode, account.user, account.password);
        if (!server->isRunning())
            qFatal("%s", qPrintable(server->error()));
        server->writeSettingsFile();
        QSettings(QStringLiteral("velkor.ini"), QSettings::IniFormat)
            .setValue(QStringLiteral("ftp/tls"), tls);
        return server;
    }

private Q_SLOTS:
    // server: a mode of the test server (TLS off unless " tls=MODE" follows), "down" for a port
    // nobody listens on (%port in the log), "unset" for no velkor.ini, "ini HOST PORT" for a
    // velkor.ini naming them. blocked: "folder"
    // (a file stands where the archive folder would be created) or "list" (a folder where its
    // checksum list would be). %size: the first file's compressed size.
    void sendRun_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("uploaded");  // STOR commands, in order
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QString>("message");

        const QStringList one =
            reportFiles(QStringLiteral("11111111"), {u"BI"_s, u"BR"_s, u"KJ"_s});
        const QStringList two =
            reportFiles(QStringLiteral("22222222"), {u"BI"_s, u"BR"_s, u"KJ"_s});
        const QStringList both{one[0], two[0], one[1], two[1], one[2], two[2]};
        const QStringList sent{kConnecting, kSending, kSent};
        // A row in which every file fails to connect, for that reason.
        const auto unreachable = [&](const char* row, const char* server, const char* reason) {
            QStringList log;
            for (const QString& path : both)
                log += lines(path, {kConnecting, kNoConnection,
                                    QStringLiteral("  Ok: ") + QString::fromUtf8(reason)});
            QTest::newRow(row) << server << both << QString() << log << QStringList()
                               << QStringList() << kFailure;
        };

        QStringList allSent;
        QStringList allUnarchived;
        QStringList zips;
        for (const QString& path : both) {
            allSent += lines(path, sent);
            allUnarchived +=
                lines(path, {kConnecting, kSending, kSent, kFailed,
                             QStringLiteral("  Ok: a tömörített állomány nem került az archívumba "
                                            "(%1): Not a directory")
                                 .arg(kArchive + zipNameOf(path))});
            zips.append(zipNameOf(path));
        }
        QTest::newRow("two providers")
            << "normal" << both << QString() << allSent << zips << QStringList()
            << kSuccess.arg(QStringLiteral("kuldes/temp/"
                                           "2007_1_22222222_KJ.txt"));
        unreachable("server down", "down",
                    "a szerver visszautasította a kapcsolatot (127.0.0.1:%port)");
        unreachable("no server set", "unset",
                    "nincs megadva FTP szerver (a velkor.ini [ftp] csoportjának host kulcsa)");
        unreachable("unknown host name", "ini ftp.example.invalid 21",
                    "ismeretlen gépnév: ftp.example.invalid");
        unreachable("port not a port", "ini 127.0.0.1 huszonegy",
                    "a velkor.ini [ftp] csoportjában a port értéke nem port (1 és 65535 közötti "
                    "szám kell): huszonegy");
        // A row whose first file ends the run's dealings with the server: every later file fails
        // at once.
        const auto stopping = [&](const char* row, const char* server, const QStringList& first,
                                  const QStringList& later) {
            QStringList log = lines(both[0], first);
            for (const QString& path : both.mid(1))
                log += lines(path, later);
            QTest::newRow(row) << server << both << QString() << log << QStringList()
                               << QStringList() << kFailure;
        };
        // One login only: servers lock out an address that keeps trying.
        const QString refusedLogin =
            QStringLiteral("  Ok: a szerver elutasította a bejelentkezést (530 Login incorrect.)");
        stopping("login refused", "login-530", {kConnecting, kNoConnection, refusedLogin},
                 {kConnecting, kNoConnection, refusedLogin});
        // A server that wants TLS where it is off: one plain login, and the way to turn TLS on.
        const QString tlsDemanded = QStringLiteral(
            "  Ok: a szerver elutasította a bejelentkezést (421 Sorry, cleartext sessions are not "
            "accepted on this server. Please reconnect using TLS security mechanisms.); a szerver "
            "titkosított kapcsolatot kér: a velkor.ini [ftp] csoportjában a tls értéke legyen "
            "auto vagy required");
        stopping("TLS demanded with 421", "user-421-tls", {kConnecting, kNoConnection, tlsDemanded},
                 {kConnecting, kNoConnection, tlsDemanded});
        QTest::newRow("archive folder not creatable")
            << "normal" << both << "folder" << allUnarchived << zips << QStringList() << kFailure;
        // The files were delivered: the list is told once, at the end.
        QTest::newRow("checksum list not writable")
            << "normal" << both << "list"
            << allSent +
                   QStringList{QStringLiteral("Az archívum ellenőrzőlistája "
                                              "(kuldes/20070512_14_05/SHA256SUMS) nem írható: "
                                              "Is a directory")}
            << zips << QStringList() << kSuccess.arg(two[2]);
        const QStringList single{one[0]};
        QTest::newRow("server disk full")
            << "disk-full" << single << QString()
            << lines(one[0], {kConnecting, kSending, kFailed,
                              QStringLiteral("  Ok: a szerver lemeze megtelt (552 Disk full.)")})
            << QStringList{zips[0]} << QStringList{zips[0]} << kFailure;
        const QStringList truncated =
            lines(one[0], {kConnecting, kSending, kFailed,
                           QStringLiteral("  Ok: a szerveren az állomány 200 bájt, az elküldött "
                                          "%size bájt")});
        QTest::newRow("226 after a half-way close")
            << "half-226" << single << QString() << truncated << QStringList{zips[0]}
            << QStringList{zips[0]} << kFailure;
        QTest::newRow("426 then 226 after a half-way close")
            << "half-426-226" << single << QString() << truncated << QStringList{zips[0]}
            << QStringList{zips[0]} << kFailure;
        // A server that accepts and never greets is waited for once: the later files fail at once.
        stopping("silent server", "greeting-silent",
                 {kConnecting, kNoConnection,
                  QStringLiteral("  Ok: a szerver 1 másodpercen belül nem küldött köszöntést")},
                 {kConnecting, kNoConnection});
        // So is one silent after the login, the later files failing with its reason.
        const QString noPassive =
            QStringLiteral("  Ok: a szerver 1 másodpercen belül nem válaszolt a PASV parancsra");
        stopping("PASV unanswered", "pasv-silent", {kConnecting, kSending, kFailed, noPassive},
                 {kConnecting, kFailed, noPassive});
        QTest::newRow("reset, then 226")
            << "reset-226" << single << QString()
            << lines(one[0], {kConnecting, kSending, kFailed,
                              QStringLiteral("  Ok: a szerver az átvitel végén megszakította az "
                                             "adatkapcsolatot")})
            << QStringList{zips[0]} << QStringList{zips[0]} << kFailure;
        // A drop-box account may store but not tell sizes: its clean confirmations count.
        QTest::newRow("upload-only account") << "upload-only" << both << QString() << allSent
                                             << zips << QStringList() << kSuccess.arg(two[2]);
        // Under auto a server that does not agree to TLS gets plain FTP, said once.
        QStringList plain = allSent;
        plain.insert(1, QStringLiteral("  Figyelem: a kapcsolat nem titkosított, a jelszó és az "
                                       "állományok olvashatóan mennek át (a szerver nem fogadta "
                                       "el a titkosítást (431 Unable to accept security "
                                       "mechanism.))."));
        QTest::newRow("AUTH TLS answered 431 under auto")
            << "auth-431 tls=auto" << both << QString() << plain << zips << QStringList()
            << kSuccess.arg(two[2]);
        // A file of an earlier period is left in text/ and named once.
        QTest::newRow("file of another period")
            << "normal" << QStringList{u"text/2006_4_11111111_BI.txt"_s, one[0]} << QString()
            << QStringList{QStringLiteral("2006_4_11111111_BI.txt: nem a(z) 2007 - 1 negyedév "
                                          "állománya, nincs elküldve.")} +
                   lines(one[0], sent)
            << QStringList{zips[0]} << QStringList() << kSuccess.arg(one[0]);

        // The second provider has no purchase items, so no _BR file.
        const QStringList refusedFiles{one[0], two[0], one[1], one[2], two[2]};
        QTest::newRow("one upload refused")
            << "refuse-br" << refusedFiles << QString()
            << lines(one[0], sent) + lines(two[0], sent) +
                   lines(one[1], {kConnecting, kSending, kFailed,
                                  QStringLiteral("  Ok: a szerver hibát jelzett (553 File name "
                                                 "not allowed.)")}) +
                   lines(one[2], sent) + lines(two[2], sent)
            << QStringList{zipNameOf(one[0]), zipNameOf(two[0]), zipNameOf(one[1]),
                           zipNameOf(one[2]), zipNameOf(two[2])}
            << QStringList{zipNameOf(one[1])} << kFailure;
        QTest::newRow("no report file")
            << "normal" << QStringList() << QString() << QStringList() << QStringList()
            << QStringList() << kSuccess.arg(QString());
    }

    void sendRun() {
        QFETCH(QString, server);
        QFETCH(QStringList, files);
        QFETCH(QString, blocked);
        const bool archiveTaken = blocked == u"folder";
        QFETCH(QStringList, log);
        QFETCH(QStringList, uploaded);
        QFETCH(QStringList, refused);
        QFETCH(QString, message);
        ProgramFolder folder(false);
        for (const QString& path : files)
            writeFile(path, contentOf(path));
        // Not report files of a pass: left alone.
        writeFile(QStringLiteral("text/hibalista.txt"), "Text állományok elkészültek\r\n");
        writeFile(QStringLiteral("kuldes/temp/2007_1_11111111_BI.txt"), "not a cover note");
        QStringList before =
            entries(QStringLiteral("text")) + entries(QStringLiteral("kuldes/temp"));
        if (archiveTaken)
            writeFile(kArchive.chopped(1), "taken");
        if (blocked == u"list")
            QVERIFY(QDir().mkpath(kArchive + QStringLiteral("SHA256SUMS")));

        std::unique_ptr<FtpTestServer> ftp;
        const QString tls = server.section(QStringLiteral(" tls="), 1);
        server = server.section(QStringLiteral(" tls="), 0, 0);
        const testsupport::ReservedPort down;  // nothing listens there during the row
        if (server == u"down") {
            const QString port = QString::number(down.number());
            log.replaceInStrings(QStringLiteral("%port"), port);
            server = QStringLiteral("ini 127.0.0.1 ") + port;
        }
        if (server.startsWith(u"ini ")) {
            QSettings settings(QStringLiteral("velkor.ini"), QSettings::IniFormat);
            settings.setValue(QStringLiteral("ftp/host"), server.section(u' ', 1, 1));
            settings.setValue(QStringLiteral("ftp/port"), server.section(u' ', 2, 2));
        } else if (server != u"unset") {
            ftp = startServer(server, tls.isEmpty() ? QStringLiteral("off") : tls);
        }

        ScriptedMessages boxes;
        const auto window = runSend(kStart, server.contains(u"silent"));
        QCOMPARE(boxes.take(),
                 (QList<ShownBox>{{MessageKind::Plain, message, {platform::Button::Ok}}}));

        const QFileInfo zip(
            QString(files.value(0)).replace(QStringLiteral(".txt"), QStringLiteral(".zip")));
        log.replaceInStrings(QStringLiteral("%size"), QString::number(zip.size()));
        QCOMPARE(shownLog(*window), log);
        const bool success = message != kFailure;
        QCOMPARE(window->SendFailed, !success);
        QCOMPARE(window->Button_nyomtatas->isEnabled(), success);
        QVERIFY(!window->Button_nyomtatas->isHidden());
        QVERIFY(!window->Button_kilepes->isHidden());
        QVERIFY(window->Gauge_SendStatus->isHidden());
        QCOMPARE(window->ArchiveFolder, kArchive);

        // One login per file, the files in the order of the passes, byte-identical to what the
        // run compressed and archived, and inflating to the text files.
        if (ftp)
            QTRY_COMPARE_WITH_TIMEOUT(uploadsPerLogin(*ftp), uploaded, kServerLogMs);
        if (server == u"login-530" || server == u"user-421-tls")
            QTRY_COMPARE_WITH_TIMEOUT(ftp->sessions().size(), 1, kServerLogMs);
        for (const QString& name : refused) {
            QVERIFY(QFileInfo(ftp->root() + u'/' + name).size() <= 200);  // none, or a part
            uploaded.removeAll(name);
        }
        for (const QString& name : uploaded) {
            const QByteArray received = readFile(ftp->root() + u'/' + name);
            const QString text = files.filter(name.chopped(4)).value(0);
            QCOMPARE(inflated(received), contentOf(text));
            const QString zip =
                archiveTaken ? text.chopped(4) + QStringLiteral(".zip") : kArchive + name;
            QVERIFY(readFile(zip) == received);
        }
        if (!uploaded.isEmpty()) {
            const qint64 lastSize = QFileInfo(ftp->root() + u'/' + uploaded.last()).size();
            QCOMPARE(qint64{window->Gauge_SendStatus->maximum()}, lastSize);
            QCOMPARE(qint64{window->Gauge_SendStatus->value()}, lastSize);
        }

        // The archive holds each sent file compressed and as text; nothing leaves text/ or
        // kuldes/temp/, and a file that was not archived keeps its compressed form there.
        QStringList archived;
        for (const QString& name : archiveTaken ? QStringList() : uploaded)
            archived << name << name.chopped(4) + QStringLiteral(".txt");
        archived.sort();
        QStringList archiveEntries = entries(kArchive);
        if (!archived.isEmpty())
            QVERIFY(archiveEntries.removeOne(QStringLiteral("SHA256SUMS")));
        QCOMPARE(archiveEntries, archived);
        for (const QString& name : archived) {
            if (name.endsWith(u".txt"))
                QVERIFY(readFile(kArchive + name) == contentOf(files.filter(name).value(0)));
        }
        if (!archived.isEmpty() && blocked.isEmpty())
            verifyChecksums(archived);
        for (const QString& path : files) {
            QVERIFY(readFile(path) == contentOf(path));
            if (!archived.contains(zipNameOf(path)) && nameOf(path).startsWith(u"2007_1_"))
                before.append(zipNameOf(path));
        }
        before.sort();
        QStringList after =
            entries(QStringLiteral("text")) + entries(QStringLiteral("kuldes/temp"));
        after.sort();
        QCOMPARE(after, before);
    }

    // Runs of the same minute share the archive folder: the second run's files replace the
    // first run's, so that the folder holds exactly what was sent last.
    void runsOfOneMinuteShareTheArchive() {
        ProgramFolder folder(false);
        const auto server = startServer(QStringLiteral("normal"));
        const QStringList files = reportFiles(QStringLiteral("11111111"), {u"BI"_s, u"KJ"_s});
        for (const QString& path : files)
            writeFile(path, "first " + path.toLatin1());
        ScriptedMessages boxes;
        runSend();
        for (const QString& path : files)
            writeFile(path, "second " + path.toLatin1());
        const auto second = runSend(kStart.addSecs(40));
        QCOMPARE(boxes.takeTexts(), QStringList(2, kSuccess.arg(files.last())));
        QCOMPARE(second->ListBox_FTPLog->count(), 6);
        QCOMPARE(entries(QStringLiteral("kuldes")),
                 (QStringList{QStringLiteral("20070512_14_05"), QStringLiteral("temp")}));
        for (const QString& path : files) {
            const QString archived = kArchive + nameOf(path);
            QCOMPARE(readFile(archived), "second " + path.toLatin1());
            QCOMPARE(inflated(readFile(archived.chopped(4) + QStringLiteral(".zip"))),
                     "second " + path.toLatin1());
            QVERIFY(!QFile::exists(path.chopped(4) + QStringLiteral(".zip")));
        }
        // Each archived file once, with the hash of what the folder now holds.
        QStringList archived;
        for (const QString& path : files)
            archived << nameOf(path) << zipNameOf(path);
        verifyChecksums(archived);
    }

    // Asked once per run about an untrusted certificate: No sends nothing, Yes is kept for later.
    void untrustedCertificateIsAskedAbout() {
        ProgramFolder folder(false);
        const auto server = startServer(QStringLiteral("tls-reuse"), QStringLiteral("auto"));
        writeFile(QStringLiteral("velkor.ini"),
                  readFile(QStringLiteral("velkor.ini")) + "; kept\n");
        for (const QString& path : reportFiles(QStringLiteral("11111111"), {u"BI"_s, u"KJ"_s}))
            writeFile(path, contentOf(path));
        const QByteArray fingerprint = server->fingerprint().toLatin1();
        const QString shown =
            QString::fromLatin1(QByteArray::fromHex(fingerprint.mid(7)).toHex(':').toUpper());
        ScriptedMessages boxes;
        for (const platform::Button answer :
             {platform::Button::No, platform::Button::Yes, platform::Button::Ok}) {
            const bool asked = answer != platform::Button::Ok;
            boxes.answer(answer);  // OK stands for no question
            runSend();
            const QStringList texts = boxes.takeTexts();
            QCOMPARE(texts.size(), asked ? 2 : 1);
            QCOMPARE(texts.first().contains(shown), asked);
            QCOMPARE(texts.last() == kFailure, answer == platform::Button::No);
        }
        // 3 with AUTH TLS alone: No twice, then asking.
        QTRY_COMPARE_WITH_TIMEOUT(server->sessions().size(), 7, kServerLogMs);
        QCOMPARE(server->sessions().mid(0, 3), QList<QStringList>(3, {QStringLiteral("AUTH TLS")}));
        // The agreement is kept at the server's 234, before its certificate is asked about.
        QVERIFY(readFile(QStringLiteral("velkor.ini"))
                    .endsWith("\n; kept\ntls_agreed = 127.0.0.1:" +
                              QByteArray::number(server->account().port) +
                              "\ncertificate = " + fingerprint + "\n"));
    }

    // Under auto, a server that agreed to TLS (234) but whose certificate was refused is held to
    // it: a plain server answering later at its port gets no login and no file.
    void agreementOutlivesARefusedCertificate() {
        ProgramFolder folder(false);
        const auto account = transmission::collectingServerAccount();
        const testsupport::ReservedPort port;
        const QStringList files = reportFiles(QStringLiteral("11111111"), {u"BI"_s, u"KJ"_s});
        for (const QString& path : files)
            writeFile(path, contentOf(path));
        ScriptedMessages boxes;
        {
            FtpTestServer vsftpd(QStringLiteral("vsftpd-tls"), account.user, account.password,
                                 port.number());
            if (!vsftpd.isRunning())
                QSKIP(qPrintable(vsftpd.error()));
            vsftpd.writeSettingsFile();
            QSettings(QStringLiteral("velkor.ini"), QSettings::IniFormat)
                .setValue(QStringLiteral("ftp/tls"), QStringLiteral("auto"));
            boxes.answer(platform::Button::No);
            runSend();
            QCOMPARE(boxes.takeTexts().last(), kFailure);
        }
        const FtpTestServer plain(QStringLiteral("normal"), account.user, account.password,
                                  port.number());
        QVERIFY2(plain.isRunning(), qPrintable(plain.error()));
        const auto window = runSend(kStart.addSecs(60));
        QCOMPARE(boxes.takeTexts(), QStringList{kFailure});
        QVERIFY(shownLog(*window).at(2).contains(QStringLiteral("korábban titkosított")));
        QTRY_COMPARE_WITH_TIMEOUT(
            plain.sessions(), QList<QStringList>(2, {QStringLiteral("AUTH TLS")}), kServerLogMs);
        QCOMPARE(entries(plain.root()), QStringList());
    }

    // A full disk under kuldes/ leaves the archive as the run before left it, and nothing cut
    // short anywhere: no copy, list, compressed file or temporary file.
    void fullDiskLeavesNothingPartial() {
        if (geteuid() != 0)
            QSKIP("Mounting a small disk for the archive needs root");
        ProgramFolder folder(false);
        const auto server = startServer(QStringLiteral("normal"));
        QCOMPARE(QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=1m"_s,
                                                u"tmpfs"_s, u"kuldes"_s}),
                 0);
        const auto unmount = qScopeGuard([] { QProcess::execute(u"umount"_s, {u"kuldes"_s}); });
        QVERIFY(QDir().mkpath(QStringLiteral("kuldes/temp")));
        const QStringList texts = reportFiles(QStringLiteral("11111111"), {u"BI"_s, u"KJ"_s});
        for (const QString& path : texts)
            writeFile(path, contentOf(path));
        ScriptedMessages boxes;
        runSend();
        for (const QString& path : texts)
            writeFile(path, contentOf(path) + contentOf(path));
        testsupport::writeFile(QStringLiteral("kuldes/filler"), QByteArray(1 << 20, 'x'));
        runSend(kStart.addSecs(30));
        verifyChecksums(
            {nameOf(texts[0]), zipNameOf(texts[0]), nameOf(texts[1]), zipNameOf(texts[1])});
        QVERIFY(readFile(kArchive + nameOf(texts[0])) == contentOf(texts[0]));
        for (QDirIterator entry(QStringLiteral("kuldes"), QDir::Files,
                                QDirIterator::Subdirectories);
             entry.hasNext();) {
            const QFileInfo file = entry.nextFileInfo();
            QVERIFY2(file.size() > 0 && file.suffix() != u"tmp", qPrintable(file.filePath()));
        }
        const QStringList shown = boxes.takeTexts();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], kSuccess.arg(texts[1]));
        QVERIFY2(shown[1].contains(zipNameOf(texts[1])), qPrintable(shown[1]));
    }

    // Debian's vsftpd demanding TLS on both connections and session reuse, run after run: every
    // file arrives and inflates to the text archived beside it.
    void deliversToVsftpdOverTls() {
        ProgramFolder folder(false);
        const auto account = transmission::collectingServerAccount();
        FtpTestServer server(QStringLiteral("vsftpd-tls"), account.user, account.password);
        if (!server.isRunning())
            QSKIP(qPrintable(server.error()));
        server.writeSettingsFile();
        QSettings settings(QStringLiteral("velkor.ini"), QSettings::IniFormat);
        settings.setValue(QStringLiteral("ftp/tls"), QStringLiteral("required"));
        settings.setValue(QStringLiteral("ftp/cafile"), server.certificate());
        settings.sync();
        QStringList files;
        for (const char* adosajat : {"11111111", "22222222", "33333333"})
            files += reportFiles(QString::fromLatin1(adosajat), {u"BI"_s, u"BR"_s, u"KJ"_s});
        ScriptedMessages boxes;
        for (int run = 0; run < 3; ++run) {
            for (const QString& path : files)
                writeFile(path, contentOf(path) + QByteArray::number(run));
            QElapsedTimer elapsed;
            elapsed.start();
            runSend(kStart.addSecs(60 * run));
            qInfo("run %d: %lld ms", run + 1, elapsed.elapsed());
            QCOMPARE(boxes.takeTexts(), QStringList{kSuccess.arg(files.last())});
            const QString archive =
                QStringLiteral("kuldes/") +
                kStart.addSecs(60 * run).toString(QStringLiteral("yyyyMMdd_hh_mm/"));
            for (const QString& path : files) {
                const QByteArray received = readFile(server.root() + u'/' + zipNameOf(path));
                QCOMPARE(inflated(received), contentOf(path) + QByteArray::number(run));
                QVERIFY(readFile(archive + zipNameOf(path)) == received);
            }
        }
    }

    // A server that stops reading mid-transfer: "Megszakítás" or Esc, pressed once the window shows
    // the upload under way, ends the run long before any time limit of the client could, the file
    // cut off and the later ones logged as not sent, nothing of them archived.
    void stoppedMidTransfer_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Megszakítás") << false;
        QTest::newRow("Esc") << true;
    }

    void stoppedMidTransfer() {
        QFETCH(bool, escape);
        ProgramFolder folder(false);
        const auto server = startServer(QStringLiteral("stall"));
        const QStringList files = reportFiles(QStringLiteral("11111111"), {u"BI"_s, u"KJ"_s});
        QByteArray noise(8 << 20, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        writeFile(files[0], noise);
        writeFile(files[1], contentOf(files[1]));
        QElapsedTimer sinceStop;
        QTimer underWay;  // looks for the first bytes on the gauge while the client waits
        underWay.setInterval(10);
        connect(&underWay, &QTimer::timeout, this, [&] {
            auto* window = qobject_cast<TFormKuldes*>(QApplication::activeModalWidget());
            if (!window || window->Gauge_SendStatus->value() <= 0)
                return;
            underWay.stop();
            QVERIFY(window->Button_megszakitas->isVisible());
            sinceStop.start();
            if (escape)
                QTest::keyClick(window, Qt::Key_Escape);
            else
                window->Button_megszakitas->click();
        });
        underWay.start();
        ScriptedMessages boxes;
        using namespace std::chrono_literals;
        const auto window = std::make_unique<TFormKuldes>(
            nullptr, QStringLiteral("2007"), QStringLiteral("1"), [] { return kStart; },
            transmission::FtpTimeouts{60s, 60s, 60s});
        QVERIFY(sinceStop.isValid() && sinceStop.elapsed() < 30'000);
        QCOMPARE(boxes.takeTexts(), QStringList{kFailure});
        const QString stopped = QStringLiteral("  Ok: a küldést megszakították");
        QCOMPARE(shownLog(*window), lines(files[0], {kConnecting, kSending, kFailed, stopped}) +
                                        lines(files[1], {kConnecting, kFailed, stopped}));
        QVERIFY(window->Button_megszakitas->isHidden());
        QCOMPARE(entries(kArchive), QStringList());
    }

    // A file that cannot be compressed ends the run with its own error box; the log so far stays,
    // no closing message comes, the progress bar stays and the buttons stay hidden.
    void compressionFailureStopsTheRun() {
        ProgramFolder folder(false);
        const auto server = startServer(QStringLiteral("normal"));
        const QStringList first = reportFiles(QStringLiteral("11111111"), {u"BI"_s, u"KJ"_s});
        const QStringList second = reportFiles(QStringLiteral("22222222"), {u"BI"_s});
        for (const QString& path : first + second)
            writeFile(path, contentOf(path));
        QVERIFY(QDir().mkdir(second[0].chopped(4) + QStringLiteral(".zip")));
        ScriptedMessages boxes;
        const auto window = runSend();
        const QList<ShownBox> shown = boxes.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, MessageKind::Error);
        QVERIFY2(shown[0].text.contains(QStringLiteral("2007_1_22222222_BI.zip")),
                 qPrintable(shown[0].text));
        QCOMPARE(window->ListBox_FTPLog->count(), 3);
        QVERIFY(!window->Gauge_SendStatus->isHidden());
        QVERIFY(window->Button_nyomtatas->isHidden());
        QVERIFY(window->Button_kilepes->isHidden());
        QTRY_COMPARE_WITH_TIMEOUT(uploadsPerLogin(*server), QStringList{zipNameOf(first[0])},
                                  kServerLogMs);
    }
};

QTEST_MAIN(TestSendRun)
#include "test_send_run.moc"
