#include "ftp_test_server.h"
#include "platform/failure.h"
#include "support/program_folder.h"
#include "transmission/ftp_client.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using platform::FtpTls;
using transmission::FtpClient;
using transmission::FtpTimeouts;
using namespace std::chrono_literals;

namespace {

// Short limits for a server meant to stay silent or stall, so that the test does not wait long for
// them to run out; every other test has the program's own, which no busy machine reaches.
const FtpTimeouts kShortTimeouts{2s, 1s, 1s};

// Whether a test's expected failure is a short limit running out.
FtpTimeouts timeoutsFor(const QString& failure) {
    static const QRegularExpression shortLimit(QStringLiteral(" [12] s\\b"));
    return shortLimit.match(failure).hasMatch() ? kShortTimeouts : FtpTimeouts{};
}

QString writeUpload(const QTemporaryDir& dir, const QString& name, qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(static_cast<quint32>(size));
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    for (qsizetype i = size / 4 * 4; i < size; ++i) {
        bytes[i] = static_cast<char>(i);
    }
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != size) {
        return {};
    }
    return file.fileName();
}

// What Connect, Put and Disconnect did, the way the send run calls them.
struct Outcome {
    QString failedStep;  // empty when all succeeded
    QString failure;
};

Outcome sendOne(FtpClient& client, const QString& path, const QString& remoteName) {
    const auto step = [](const QString& name, const std::function<void()>& operation,
                         Outcome& outcome) {
        try {
            operation();
        } catch (const platform::Failure& failure) {
            outcome = {name, failure.text()};
        }
    };
    Outcome outcome;
    step(
        QStringLiteral("Connect"), [&] { client.Connect(); }, outcome);
    if (!outcome.failedStep.isEmpty()) {
        return outcome;
    }
    step(
        QStringLiteral("Put"), [&] { client.Put(path, remoteName); }, outcome);
    Outcome closing;
    step(
        QStringLiteral("Disconnect"), [&] { client.Disconnect(); }, closing);
    return outcome.failedStep.isEmpty() ? closing : outcome;
}

QStringList loginAndUpload(const QString& remoteName) {
    return {QStringLiteral("USER tester"),
            QStringLiteral("PASS secret"),
            QStringLiteral("FEAT"),
            QStringLiteral("TYPE I"),
            QStringLiteral("SYST"),
            QStringLiteral("PASV"),
            QStringLiteral("STOR ") + remoteName};
}

// A confirmed upload ends with the size asked of the server, which lists SIZE among its features.
QStringList confirmedUpload(const QString& remoteName) {
    return loginAndUpload(remoteName) << QStringLiteral("SIZE ") + remoteName;
}

}  // namespace

class TestFtpClient : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void passiveReplyNamesAddressAndPort_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("port");
        QTest::newRow("parentheses")
            << QStringLiteral("227 Entering Passive Mode (10,0,0,5,19,137)")
            << QStringLiteral("10.0.0.5") << 5001;
        QTest::newRow("no parentheses, full stop")
            << QStringLiteral("227 Entering Passive Mode 127,0,0,1,255,255.")
            << QStringLiteral("127.0.0.1") << 65535;
        QTest::newRow("blanks inside parentheses")
            << QStringLiteral("227 Passive (192, 168, 1, 2, 0, 21).")
            << QStringLiteral("192.168.1.2") << 21;
    }

    void passiveReplyNamesAddressAndPort() {
        QFETCH(QString, line);
        QFETCH(QString, address);
        QFETCH(int, port);
        const transmission::PassiveAddress parsed = transmission::parsePassiveReply(line);
        QCOMPARE(parsed.address.toString(), address);
        QCOMPARE(parsed.port, port);
    }

    void unreadablePassiveReplyIsRejected_data() {
        QTest::addColumn<QString>("line");
        QTest::newRow("number above 255") << QStringLiteral("227 Passive (10,0,0,256,19,137)");
        QTest::newRow("port 0") << QStringLiteral("227 Passive (10,0,0,5,0,0)");
        QTest::newRow("five numbers") << QStringLiteral("227 Passive (10,0,0,5,19)");
        QTest::newRow("sign") << QStringLiteral("227 Passive (10,0,0,5,19,-1)");
        QTest::newRow("no numbers") << QStringLiteral("227 Entering Passive Mode");
    }

    void unreadablePassiveReplyIsRejected() {
        QFETCH(QString, line);
        QVERIFY_THROWS_EXCEPTION(platform::Failure, transmission::parsePassiveReply(line));
    }

    // A reply may have 1,000 lines and 64 KiB with its line ends, and no more.
    void replyIsBounded_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("accepted");
        QStringList thousand{QStringLiteral("211-Features:")};
        for (int i = 0; i < 998; ++i)
            thousand.append(QStringLiteral(" FEATURE%1").arg(i));
        thousand.append(QStringLiteral("211 End"));
        QStringList longer = thousand;
        longer.insert(1, QStringLiteral(" ONE MORE"));
        const QString full = QStringLiteral("220 ") + QString(65536 - 2 - 4, u'x');
        QTest::newRow("1,000 lines") << thousand << true;
        QTest::newRow("1,001 lines") << longer << false;
        QTest::newRow("64 KiB") << QStringList{full} << true;
        QTest::newRow("a character more") << QStringList{full + u'x'} << false;
    }

    void replyIsBounded() {
        QFETCH(QStringList, lines);
        QFETCH(bool, accepted);
        transmission::FtpReplyReader reader;
        try {
            for (qsizetype i = 0; i < lines.size(); ++i)
                QCOMPARE(reader.addLine(lines.at(i)), i + 1 == lines.size());
            QVERIFY(accepted);
            QCOMPARE(reader.take().lines, lines);
        } catch (const platform::Failure& failure) {
            QVERIFY(!accepted);
            QCOMPARE(failure.text(),
                     QStringLiteral("The reply of the FTP server is longer than 1000 lines or 64 "
                                    "KiB"));
        }
    }

    void uploadsArriveWholeUnderTheirBareNames() {
        testsupport::FtpTestServer server;
        QVERIFY2(server.isRunning(), qPrintable(server.error()));
        QTemporaryDir local;
        FtpClient client(server.account());
        QList<qint64> progress;
        connect(&client, &FtpClient::workBegin, this, [&](qint64 total) { progress = {-total}; });
        connect(&client, &FtpClient::work, this, [&](qint64 count) { progress.append(count); });

        const QList<std::pair<QString, qsizetype>> files{
            {QStringLiteral("2007_1_12345678_BI.zip"), 1},
            {QStringLiteral("2007_1_12345678_BR.zip"), 100'000},
            {QStringLiteral("2007_1_12345678_KJ.zip"), 5'000'000}};
        QList<QStringList> expectedSessions;
        for (const auto& [name, size] : files) {
            const QString path = writeUpload(local, name, size);
            const Outcome outcome = sendOne(client, path, name);
            QVERIFY2(outcome.failedStep.isEmpty(), qPrintable(outcome.failure));
            QVERIFY(!client.isConnected());
            QCOMPARE(testsupport::readFile(server.root() + QLatin1Char('/') + name),
                     testsupport::readFile(path));
            QCOMPARE(progress.first(), -size);
            QCOMPARE(progress.last(), size);
            for (qsizetype i = 2; i < progress.size(); ++i) {
                QVERIFY(progress.at(i) > progress.at(i - 1));
            }
            expectedSessions.append(confirmedUpload(name));
        }
        QTRY_COMPARE_WITH_TIMEOUT(server.sessions(), expectedSessions, testsupport::kServerLogMs);
    }

    // The send run uses one client for all its files: a line left unread on one connection must
    // not be taken for the next connection's greeting, and a second upload under the same name
    // sends STOR again and replaces the file.
    void sameNameUploadedAgainAfterAnUnaskedForLine() {
        testsupport::FtpTestServer server(QStringLiteral("final-extra"));
        QVERIFY2(server.isRunning(), qPrintable(server.error()));
        QTemporaryDir local;
        QTemporaryDir second;
        const QString name = QStringLiteral("2007_1_12345678_BI.zip");
        FtpClient client(server.account());
        for (const QString& path :
             {writeUpload(local, name, 300'000), writeUpload(second, name, 1'000)}) {
            const Outcome outcome = sendOne(client, path, name);
            QVERIFY2(outcome.failedStep.isEmpty(), qPrintable(outcome.failure));
            QCOMPARE(testsupport::readFile(server.root() + QLatin1Char('/') + name),
                     testsupport::readFile(path));
        }
        QTRY_COMPARE_WITH_TIMEOUT(
            server.sessions(), (QList<QStringList>{confirmedUpload(name), confirmedUpload(name)}),
            testsupport::kServerLogMs);
    }

    void misbehavingServers_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<qsizetype>("size");
        QTest::addColumn<QString>("failedStep");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QStringList>("commands");
        const QString name = QStringLiteral("up.zip");
        const QStringList normal = confirmedUpload(name);
        const QStringList bare = loginAndUpload(name);  // no size asked
        QStringList noPass = normal;
        noPass.removeAt(1);
        QStringList pret = normal;
        pret.insert(5, QStringLiteral("SITE ZONE"));
        pret.insert(6, QStringLiteral("PRET STOR up.zip"));
        const qsizetype big = 16 << 20;

        QTest::newRow("230 to USER") << "user-230" << qsizetype(1000) << ""
                                     << "" << noPass;
        QTest::newRow("FEAT rejected") << "feat-502" << qsizetype(1000) << ""
                                       << "" << bare;
        QTest::newRow("SYST rejected") << "syst-500" << qsizetype(1000) << ""
                                       << "" << normal;
        QTest::newRow("PRET and SITE ZONE listed") << "feat-pret" << qsizetype(1000) << ""
                                                   << "" << pret;
        QTest::newRow("426 then 226") << "final-426-226" << qsizetype(300'000) << ""
                                      << "" << normal;
        QTest::newRow("PASV without parentheses") << "pasv-bare" << qsizetype(1000) << ""
                                                  << "" << normal;
        QTest::newRow("PASV names a private address") << "pasv-private" << qsizetype(1000) << ""
                                                      << "" << normal;
        QTest::newRow("multi-line greeting with digits")
            << "greeting-multiline" << qsizetype(1000) << ""
            << "" << normal;
        QTest::newRow("451 after the transfer")
            << "final-451" << qsizetype(1000) << "Put"
            << "451 Requested action aborted: local error in processing." << bare;
        QTest::newRow("426 then 451")
            << "final-426-451" << qsizetype(1000) << "Put"
            << "451 Requested action aborted: local error in processing." << bare;
        QTest::newRow("SIZE refused to an upload-only account")
            << "upload-only" << qsizetype(1000) << ""
            << "" << normal;
        QTest::newRow("426 alone after the transfer")
            << "final-426" << qsizetype(1000) << "Put"
            << "426 Failure reading network stream." << bare;
        QTest::newRow("STOR refused") << "read-only" << qsizetype(1000) << "Put"
                                      << "550 Not enough privileges." << bare;
        QTest::newRow("no final reply")
            << "final-silent" << qsizetype(1000) << "Put"
            << "No answer from the FTP server within 1 s (awaiting the reply to STOR)" << bare;
        QTest::newRow("data connection stalls") << "stall" << big << "Put"
                                                << "The upload made no progress for 1 s" << bare;
        QTest::newRow("226 with the data connection left open")
            << "data-open-226" << qsizetype(300'000) << ""
            << "" << normal;
        QTest::newRow("data connection written to, no final reply")
            << "data-chatter" << qsizetype(1000) << "Put"
            << "within 1 s (awaiting the reply to STOR)" << bare;
        QTest::newRow("data connection closed early, 226 anyway") << "short-read" << big << "Put"
                                                                  << "of 16777216 bytes" << bare;
        QTest::newRow("no greeting")
            << "greeting-silent" << qsizetype(1000) << "Connect"
            << "No answer from the FTP server within 1 s (awaiting the greeting)" << QStringList();
        QTest::newRow("greeting of too many lines")
            << "greeting-flood" << qsizetype(1000) << "Connect"
            << "The reply of the FTP server is longer than 1000 lines or 64 KiB" << QStringList();
        QTest::newRow("greeting without end")
            << "greeting-trickle" << qsizetype(1000) << "Connect"
            << "within 1 s (awaiting the greeting)" << QStringList();
    }

    void misbehavingServers() {
        QFETCH(QString, mode);
        QFETCH(qsizetype, size);
        QFETCH(QString, failedStep);
        QFETCH(QString, failure);
        QFETCH(QStringList, commands);
        testsupport::FtpTestServer server(mode);
        QVERIFY2(server.isRunning(), qPrintable(server.error()));
        QTemporaryDir local;
        const QString path = writeUpload(local, QStringLiteral("up.zip"), size);
        FtpClient client(server.account(), timeoutsFor(failure));

        // A client that waited for its own limits (a minute) would have missed a stalled server.
        QElapsedTimer elapsed;
        elapsed.start();
        const Outcome outcome = sendOne(client, path, QStringLiteral("up.zip"));
        QVERIFY(elapsed.elapsed() < 30'000);
        QCOMPARE(outcome.failedStep, failedStep);
        QVERIFY2(outcome.failure.contains(failure), qPrintable(outcome.failure));
        if (failedStep.isEmpty()) {
            QCOMPARE(testsupport::readFile(server.root() + QStringLiteral("/up.zip")),
                     testsupport::readFile(path));
        }
        QTRY_COMPARE_WITH_TIMEOUT(server.sessions(), QList<QStringList>{commands},
                                  testsupport::kServerLogMs);
    }

    // trust: "cafile" names the TLS server's certificate, "agreed" the server as having agreed to
    // TLS, else the fingerprint kept.
    void explicitTls_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("host");
        QTest::addColumn<FtpTls>("tls");
        QTest::addColumn<QString>("trust");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QStringList>("commands");
        const QStringList plain = QStringList{u"AUTH TLS"_s} + confirmedUpload(u"up.zip"_s);
        const QStringList secured =
            plain.mid(0, 3) + QStringList{u"PBSZ 0"_s, u"PROT P"_s} + plain.mid(3);
        const QString ip = QStringLiteral("127.0.0.1");
        QTest::newRow("TLS and session reuse demanded")
            << "tls-reuse" << ip << FtpTls::Required << "cafile"
            << "" << secured;
        QTest::newRow("auto, plain server") << "normal" << ip << FtpTls::Auto << ""
                                            << "" << plain;
        QTest::newRow("required, plain server")
            << "normal" << ip << FtpTls::Required << ""
            << "The FTP server does not accept TLS: 500 " << plain.mid(0, 1);
        QTest::newRow("another host name, no one to ask")
            << "tls-reuse"
            << "localhost" << FtpTls::Auto << "cafile"
            << "The certificate of the FTP server is not trusted: " << plain.mid(0, 1);
        QTest::newRow("auto, TLS refused by a server that agreed before")
            << "normal" << ip << FtpTls::Auto << "agreed"
            << "The FTP server agreed to TLS before and now refuses it: 500 " << plain.mid(0, 1);
        QTest::newRow("pinned certificate replaced")
            << "tls-reuse" << ip << FtpTls::Auto << "sha256:00"
            << "The certificate of the FTP server has changed" << plain.mid(0, 1);
        QTest::newRow("data connection never secured")
            << "tls-data-stall" << ip << FtpTls::Required << "cafile"
            << "The TLS handshake of the data connection did not complete within 2 s"
            << secured.mid(0, secured.size() - 1);
    }

    void explicitTls() {
        QFETCH(QString, mode);
        QFETCH(QString, host);
        QFETCH(FtpTls, tls);
        QFETCH(QString, trust);
        QFETCH(QString, failure);
        QFETCH(QStringList, commands);
        testsupport::FtpTestServer server(mode);
        QVERIFY2(server.isRunning(), qPrintable(server.error()));
        transmission::FtpAccount account = server.account();
        account.host = host;
        const bool cafile = trust == u"cafile";
        const bool agreed = trust == u"agreed";
        account.tls = {tls,
                       {},
                       cafile ? server.certificate() : u""_s,
                       cafile || agreed ? u""_s : trust,
                       agreed ? QStringLiteral("127.0.0.1:%1").arg(server.account().port) : u""_s};
        QTemporaryDir local;
        const QString path = writeUpload(local, QStringLiteral("up.zip"), 3'000'000);
        FtpClient client(account, timeoutsFor(failure));
        const Outcome outcome = sendOne(client, path, QStringLiteral("up.zip"));
        QCOMPARE(outcome.failure.left(failure.size()), failure);
        QVERIFY(!failure.isEmpty() ||
                testsupport::readFile(server.root() + QStringLiteral("/up.zip")) ==
                    testsupport::readFile(path));
        QTRY_COMPARE_WITH_TIMEOUT(server.sessions(), QList<QStringList>{commands},
                                  testsupport::kServerLogMs);
    }

    void refusedLoginClosesTheConnection() {
        testsupport::FtpTestServer server;
        QVERIFY2(server.isRunning(), qPrintable(server.error()));
        transmission::FtpAccount account = server.account();
        account.password = QStringLiteral("wrong");
        FtpClient client(account);
        QTemporaryDir local;
        const Outcome outcome = sendOne(client, writeUpload(local, QStringLiteral("up.zip"), 10),
                                        QStringLiteral("up.zip"));
        QCOMPARE(outcome.failedStep, QStringLiteral("Connect"));
        QVERIFY2(outcome.failure.startsWith(QStringLiteral("530 ")), qPrintable(outcome.failure));
        QVERIFY(!client.isConnected());
        QTRY_COMPARE_WITH_TIMEOUT(
            server.sessions(),
            (QList<QStringList>{{QStringLiteral("USER tester"), QStringLiteral("PASS wrong")}}),
            testsupport::kServerLogMs);
    }

    void unreachableServerFailsConnect_data() {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<QString>("failure");
        QTest::newRow("connection refused") << false << "Could not connect to 127.0.0.1:%1: ";
        QTest::newRow("connection unanswered")
            << true << "Could not connect to 127.0.0.1:%1 within 2 s";
    }

    // A listening socket whose backlog is full drops further connection requests unanswered.
    void unreachableServerFailsConnect() {
        QFETCH(bool, listening);
        QFETCH(QString, failure);
        QTcpServer server;
        server.setListenBacklogSize(0);
        QVERIFY(server.listen(QHostAddress::LocalHost));
        // The client runs the event loop while it waits: the server must not take connections.
        server.pauseAccepting();
        const quint16 port = server.serverPort();
        QTcpSocket queued;
        if (listening) {
            queued.connectToHost(QHostAddress::LocalHost, port);
            QVERIFY(queued.waitForConnected(30'000));
        } else {
            server.close();
        }
        FtpClient client(
            {QStringLiteral("127.0.0.1"), port, QStringLiteral("u"), QStringLiteral("p")},
            kShortTimeouts);
        try {
            client.Connect();
            QFAIL("connected");
        } catch (const platform::Failure& error) {
            QVERIFY2(error.text().contains(failure.arg(port)), qPrintable(error.text()));
        }
        QVERIFY(!client.isConnected());
    }
};

QTEST_GUILESS_MAIN(TestFtpClient)
#include "test_ftp_client.moc"
