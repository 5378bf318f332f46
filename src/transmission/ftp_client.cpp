#include "transmission/ftp_client.h"

#include "platform/failure.h"
#include "platform/settings.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QSslConfiguration>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace transmission {

namespace {

// The one place that names the upload account; the server itself is the user's setting.
constexpr auto kUser = "zovavazuvi";
constexpr auto kPassword = "quilmortend5831";

constexpr qint64 kBlockSize = 65536;
constexpr qint64 kMaxReplyLine = 65536;
// How long a reply that follows another at once (226 after 426) may take.
constexpr int kFollowingReplyMs = 1000;

QString seconds(std::chrono::milliseconds limit) {
    return QString::number(static_cast<double>(limit.count()) / 1000.0);
}

QString verbOf(const QString& line) {
    return line.section(QLatin1Char(' '), 0, 0);
}

QString awaiting(const QString& verb) {
    return verb.isEmpty() ? QStringLiteral("the greeting") : QStringLiteral("the reply to ") + verb;
}

QString noAnswerReason(const QString& verb, std::chrono::milliseconds limit) {
    return verb.isEmpty()
               ? QStringLiteral("a szerver %1 másodpercen belül nem küldött köszöntést")
                     .arg(seconds(limit))
               : QStringLiteral("a szerver %1 másodpercen belül nem válaszolt a %2 parancsra")
                     .arg(seconds(limit), verb);
}

// The server's own words, in brackets after the reason.
QString wordsOf(const FtpReply& reply) {
    return QStringLiteral(" (") + reply.lines.join(QLatin1Char(' ')) + u')';
}

const QString kLoginRefused = QStringLiteral("a szerver elutasította a bejelentkezést");

// What a refusing reply means to the user, the server's own words in brackets.
QString reasonOfReply(const FtpReply& reply) {
    const QString words = wordsOf(reply);
    switch (reply.code) {
        case 530:
            return kLoginRefused + words;
        case 452:
        case 552:
            return QStringLiteral("a szerver lemeze megtelt") + words;
        default:
            return QStringLiteral("a szerver hibát jelzett") + words;
    }
}

// A connection that could not be opened; `what` says which in the English text ("connect",
// "open the data connection").
FtpFailure connectFailure(const QTcpSocket& socket, bool timedOut, const QString& what,
                          const QString& host, quint16 port, std::chrono::milliseconds limit) {
    const QString target = QStringLiteral("%1:%2").arg(host).arg(port);
    if (timedOut) {
        return {QStringLiteral("Could not %1 to %2 within %3 s").arg(what, target, seconds(limit)),
                QStringLiteral("a szerver %1 másodpercen belül nem fogadta a kapcsolatot (%2)")
                    .arg(seconds(limit), target),
                FtpFault::TimedOut};
    }
    switch (socket.error()) {
        case QAbstractSocket::HostNotFoundError:
            return {QStringLiteral("Unknown host %1").arg(host),
                    QStringLiteral("ismeretlen gépnév: ") + host};
        case QAbstractSocket::ConnectionRefusedError:
            return {
                QStringLiteral("Could not %1 to %2: %3").arg(what, target, socket.errorString()),
                QStringLiteral("a szerver visszautasította a kapcsolatot (%1)").arg(target)};
        default:
            return {
                QStringLiteral("Could not %1 to %2: %3").arg(what, target, socket.errorString()),
                QStringLiteral("nem jött létre a kapcsolat (%1): %2")
                    .arg(target, socket.errorString())};
    }
}

// A TLS handshake that did not complete; `english` and `hungarian` name the connection ("with the
// FTP server", "a titkosított kapcsolat"). One that ran out of time says so, naming the limit, as
// the socket has no error to tell then.
FtpFailure handshakeFailure(const QSslSocket& socket, bool timedOut, const QString& english,
                            const QString& hungarian, std::chrono::milliseconds limit) {
    if (timedOut) {
        return {
            QStringLiteral("The TLS handshake %1 did not complete within %2 s")
                .arg(english, seconds(limit)),
            QStringLiteral("%1 %2 másodpercen belül nem jött létre").arg(hungarian, seconds(limit)),
            FtpFault::TimedOut};
    }
    return {QStringLiteral("The TLS handshake %1 failed: %2").arg(english, socket.errorString()),
            QStringLiteral("%1 nem jött létre: %2").arg(hungarian, socket.errorString())};
}

// A certificate that did not verify and was not pinned: the user may still trust it.
class UntrustedCertificate : public FtpFailure {
    using FtpFailure::FtpFailure;
};

// How a trusted certificate is kept in the settings file: "sha256:" and 64 hex digits.
QString fingerprintOf(const QSslCertificate& certificate) {
    return QStringLiteral("sha256:") +
           QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex());
}

bool sameFingerprint(const QString& kept, const QString& offered) {
    const auto bare = [](QString fingerprint) {
        return fingerprint.remove(QLatin1Char(':')).remove(0, 6).toLower();
    };
    return kept.startsWith(QStringLiteral("sha256:"), Qt::CaseInsensitive) &&
           bare(kept) == bare(offered);
}

QString reasonsOf(const QList<QSslError>& errors) {
    QStringList reasons;
    for (const QSslError& error : errors)
        reasons.append(error.errorString());
    return reasons.join(QStringLiteral("; "));
}

// The fingerprint as the user reads it: pairs of upper-case hex digits between colons.
QString shownFingerprintOf(const QSslCertificate& certificate) {
    return QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
}

QString questionAbout(const QString& host, const QSslCertificate& certificate,
                      const QList<QSslError>& errors) {
    const QString format = QStringLiteral("yyyy.MM.dd. hh:mm");
    return QStringLiteral(
               "Az FTP szerver (%1) tanúsítványa nem ellenőrizhető: %2\n\nTulajdonos: %3\n"
               "Kibocsátó: %4\nÉrvényes: %5 – %6\nSHA-256 ujjlenyomat:\n%7\n\nMegbízik ebben a "
               "tanúsítványban? (Yes: a program megjegyzi, és ettől kezdve ennél a szervernél "
               "kérdés nélkül elfogadja; No: semmit sem küld.)")
        .arg(host, reasonsOf(errors), certificate.subjectDisplayName(),
             certificate.issuerDisplayName(),
             certificate.effectiveDate().toLocalTime().toString(format),
             certificate.expiryDate().toLocalTime().toString(format),
             shownFingerprintOf(certificate));
}

// Where no one can be asked: the fingerprint as the question shows it, and how to pin it.
QString unaskedReason(const QSslCertificate& certificate, const QList<QSslError>& errors) {
    return QStringLiteral(
               "a szerver tanúsítványa nem megbízható: %1 (SHA-256 ujjlenyomat: %2); "
               "ha megbízik benne, a velkor.ini [ftp] csoportjának certificate kulcsa "
               "legyen %3")
        .arg(reasonsOf(errors), shownFingerprintOf(certificate), fingerprintOf(certificate));
}

// The system's trusted certificates, read once: the extra ones of the settings join them.
const QList<QSslCertificate>& systemCertificates() {
    static const QList<QSslCertificate> certificates = QSslConfiguration::systemCaCertificates();
    return certificates;
}

// Every byte handed to the socket, in clear or already encrypted, that is not yet on its way.
qint64 pendingBytes(const QSslSocket& socket) {
    return socket.bytesToWrite() + socket.encryptedBytesToWrite();
}

// Keeps a connection open past its socket's close: the socket sends what it still holds (a TLS
// close among it) and lets go, then the client ends its side and reads what the server sends
// until the server closes its own. Closing a socket with unread input (a TLS server's session
// tickets) would reset the connection instead, and the server could lose the upload's end.
class Lingering {
public:
    enum class End { Closed, Reset, Open };

    explicit Lingering(QAbstractSocket& socket)
        : descriptor_(::dup(static_cast<int>(socket.socketDescriptor()))) {}
    ~Lingering() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    Lingering(const Lingering&) = delete;
    Lingering& operator=(const Lingering&) = delete;

    int descriptor() const { return descriptor_; }
    void endOutput() const { ::shutdown(descriptor_, SHUT_WR); }

    // Drops what has arrived; Closed once the server closed in order, Reset on a reset or an
    // error, Open while its side is still open.
    End readAvailable() const {
        char buffer[4096];
        for (;;) {
            const ssize_t read = ::recv(descriptor_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (read == 0)
                return End::Closed;
            if (read < 0 && errno == EINTR)
                continue;
            if (read < 0)
                return errno == EAGAIN || errno == EWOULDBLOCK ? End::Open : End::Reset;
        }
    }

private:
    int descriptor_;
};

}  // namespace

QString reasonOf(const platform::Failure& failure) {
    const auto* ftp = dynamic_cast<const FtpFailure*>(&failure);
    return ftp ? ftp->reason() : failure.text();
}

FtpAccount collectingServerAccount() {
    const platform::FtpServerSetting server = platform::ftpServerSetting();
    return {server.host,
            server.port,
            QString::fromLatin1(kUser),
            QString::fromLatin1(kPassword),
            server.invalidPort,
            platform::ftpTlsSetting()};
}

FtpClient::FtpClient(FtpAccount account, FtpTimeouts timeouts, QObject* parent)
    : QObject(parent), account_(std::move(account)), timeouts_(timeouts) {
    control_.setProxy(QNetworkProxy::NoProxy);
    connect(&control_, &QSslSocket::sslErrors, this,
            [this](const QList<QSslError>& errors) { judgeCertificate(control_, errors); });
}

bool FtpClient::isConnected() const {
    return control_.state() == QAbstractSocket::ConnectedState;
}

// A certificate the user is asked about and trusts is accepted on a connection of its own, since
// the server would not wait for the answer.
void FtpClient::Connect() {
    try {
        connectAndLogIn();
    } catch (const UntrustedCertificate& untrusted) {
        if (!question_)
            throw FtpFailure(untrusted.text(), unaskedReason(offered_, offeredErrors_));
        if (!trustOffered())
            throw FtpFailure(untrusted.text(), untrusted.reason());
        connectAndLogIn();
    }
}

void FtpClient::connectAndLogIn() {
    control_.abort();
    try {
        openControlConnection();
        secureControlConnection();
        logIn();
        negotiate();
    } catch (...) {
        control_.abort();
        throw;
    }
}

void FtpClient::openControlConnection() {
    features_.clear();
    unencryptedReason_.reset();
    if (account_.host.isEmpty()) {
        throw FtpFailure(
            QStringLiteral("No FTP server is set (key host of the group [ftp] in %1)")
                .arg(platform::settingsFilePath()),
            QStringLiteral("nincs megadva FTP szerver (a velkor.ini [ftp] csoportjának host "
                           "kulcsa)"));
    }
    if (account_.tls.mode == platform::FtpTls::Unknown) {
        throw FtpFailure(
            QStringLiteral("The value of tls in the group [ftp] of %1 is none of auto, required "
                           "and off: %2")
                .arg(platform::settingsFilePath(), account_.tls.modeText),
            QStringLiteral("a velkor.ini [ftp] csoportjában a tls értéke ismeretlen (auto, "
                           "required vagy off lehet): %1")
                .arg(account_.tls.modeText));
    }
    if (!account_.invalidPort.isNull()) {
        throw FtpFailure(
            QStringLiteral("The port set in %1 is not a port from 1 to 65535: %2")
                .arg(platform::settingsFilePath(), account_.invalidPort),
            QStringLiteral("a velkor.ini [ftp] csoportjában a port értéke nem port (1 és 65535 "
                           "közötti szám kell): %1")
                .arg(account_.invalidPort));
    }
    control_.connectToHost(account_.host, account_.port);
    Q_EMIT aboutToWait();
    const Wait connected = await(
        control_, [this] { return control_.state() == QAbstractSocket::ConnectedState; },
        timeouts_.connect);
    if (connected != Wait::Done) {
        throw connectFailure(control_, connected == Wait::TimedOut, QStringLiteral("connect"),
                             account_.host, account_.port, timeouts_.connect);
    }
    expect(readReply({}), {220});
}

// AUTH TLS after the greeting; any reply but 234 leaves the connection plain only under auto, as
// does a machine without TLS.
void FtpClient::secureControlConnection() {
    const platform::FtpTls mode = account_.tls.mode;
    if (mode == platform::FtpTls::Off)
        return;
    if (!QSslSocket::supportsSsl()) {
        if (mode == platform::FtpTls::Required) {
            throw FtpFailure(QStringLiteral("TLS is not available on this machine"),
                             QStringLiteral("ezen a gépen nem érhető el a TLS titkosítás"));
        }
        unencryptedReason_ = QStringLiteral("ezen a gépen nem érhető el a TLS titkosítás");
        return;
    }
    const FtpReply auth = command(QStringLiteral("AUTH TLS"));
    if (auth.code != 234) {
        refuseTls(auth);
        return;
    }
    noteAgreement();
    control_.setSslConfiguration(tlsConfiguration());
    control_.setPeerVerifyName(account_.host);
    offered_ = QSslCertificate();
    control_.startClientEncryption();
    Q_EMIT aboutToWait();
    const Wait encrypted = await(
        control_, [this] { return control_.isEncrypted(); }, timeouts_.connect);
    if (encrypted == Wait::Done)
        return;
    if (offered_.isNull()) {
        throw handshakeFailure(control_, encrypted == Wait::TimedOut,
                               QStringLiteral("with the FTP server"),
                               QStringLiteral("a titkosított kapcsolat"), timeouts_.connect);
    }
    const QString offered = fingerprintOf(offered_);
    if (!account_.tls.certificate.isEmpty()) {
        throw FtpFailure(
            QStringLiteral("The certificate of the FTP server has changed (kept: %1, offered: %2)")
                .arg(account_.tls.certificate, offered),
            QStringLiteral("a szerver tanúsítványa megváltozott, ezért a program nem fogadja el "
                           "(a megjegyzett: %1, a mostani: %2); ha a változás várható, törölje a "
                           "velkor.ini [ftp] csoportjának certificate kulcsát")
                .arg(account_.tls.certificate, offered));
    }
    throw UntrustedCertificate(
        QStringLiteral("The certificate of the FTP server is not trusted: %1 (%2)")
            .arg(reasonsOf(offeredErrors_), offered),
        QStringLiteral("a szerver tanúsítványa nem megbízható: %1 (%2)")
            .arg(reasonsOf(offeredErrors_), offered));
}

QString FtpClient::serverName() const {
    return account_.host + u':' + QString::number(account_.port);
}

// A 234 to AUTH TLS is the server's agreement, whatever the handshake then shows (a certificate
// refused, a handshake that fails): a machine in the middle answering later at the same host and
// port without TLS is not believed.
void FtpClient::noteAgreement() {
    if (account_.tls.agreedServer == serverName())
        return;
    account_.tls.agreedServer = serverName();
    Q_EMIT tlsAgreed(serverName());
}

// Plain FTP under auto, unless this server agreed to TLS before.
void FtpClient::refuseTls(const FtpReply& auth) {
    const QString words = auth.lines.join(QLatin1Char(' '));
    const bool agreedBefore = account_.tls.agreedServer == serverName();
    if (account_.tls.mode == platform::FtpTls::Auto && !agreedBefore) {
        unencryptedReason_ =
            QStringLiteral("a szerver nem fogadta el a titkosítást (%1)").arg(words);
        return;
    }
    if (agreedBefore) {
        throw FtpFailure(
            QStringLiteral("The FTP server agreed to TLS before and now refuses it: ") +
                auth.text(),
            QStringLiteral(
                "a szerver korábban titkosított kapcsolatot fogadott el, most elutasítja "
                "(%1), ezért a program semmit sem küld; ha a szerver valóban nem "
                "titkosít többé, törölje a velkor.ini [ftp] csoportjának %2 kulcsát")
                .arg(words, QLatin1String(platform::kFtpTlsAgreedKey)));
    }
    throw FtpFailure(QStringLiteral("The FTP server does not accept TLS: ") + auth.text(),
                     QStringLiteral("a szerver nem fogad titkosított kapcsolatot (%1)").arg(words));
}

// The system's trusted certificates and those of the settings' cafile; the control connection's
// session is kept, so that its data connections can resume it.
QSslConfiguration FtpClient::tlsConfiguration() const {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    const QString& caFile = account_.tls.caFile;
    if (!caFile.isEmpty()) {
        const QList<QSslCertificate> extra = QSslCertificate::fromPath(caFile, QSsl::Pem);
        if (extra.isEmpty()) {
            throw FtpFailure(
                QStringLiteral("No certificate can be read from %1, the cafile set in %2")
                    .arg(caFile, platform::settingsFilePath()),
                QStringLiteral("a velkor.ini [ftp] csoportjában megadott cafile állományból "
                               "(%1) nem olvasható tanúsítvány")
                    .arg(caFile));
        }
        configuration.setCaCertificates(systemCertificates() + extra);
    }
    return configuration;
}

// Called during a handshake whose certificate does not verify: the certificate the account names
// is accepted; any other is kept for the question or the failure.
void FtpClient::judgeCertificate(QSslSocket& socket, const QList<QSslError>& errors) {
    const QSslCertificate offered = socket.peerCertificate();
    if (!offered.isNull() && sameFingerprint(account_.tls.certificate, fingerprintOf(offered))) {
        socket.ignoreSslErrors();
        return;
    }
    offered_ = offered;
    offeredErrors_ = errors;
}

// Asks once per certificate; a yes holds for this client at once, and is told for the settings
// file.
bool FtpClient::trustOffered() {
    const QString fingerprint = fingerprintOf(offered_);
    if (!question_ || refused_.contains(fingerprint))
        return false;
    if (!question_(questionAbout(account_.host, offered_, offeredErrors_))) {
        refused_.insert(fingerprint);
        return false;
    }
    account_.tls.certificate = fingerprint;
    Q_EMIT certificateTrusted(fingerprint);
    return true;
}

void FtpClient::logIn() {
    const FtpReply user = command(QStringLiteral("USER ") + account_.user);
    expectLogin(user, {230, 232, 331});
    if (user.code == 331) {
        expectLogin(command(QStringLiteral("PASS ") + account_.password), {230});
    }
    if (control_.isEncrypted()) {
        expect(command(QStringLiteral("PBSZ 0")), {200});
        expect(command(QStringLiteral("PROT P")), {200});
    }
}

// A refused login (530) is not tried again in the run: servers lock out an address after a few.
// Nor is a server that refuses a plain login because it wants TLS, whatever code it gives (421
// closing the connection, 530, 534, 550); where TLS is off the reason says how to turn it on.
void FtpClient::expectLogin(const FtpReply& reply, std::initializer_list<int> codes) {
    static const QRegularExpression asksForTls(QStringLiteral("encrypt|tls|ssl|secur|cleartext"),
                                               QRegularExpression::CaseInsensitiveOption);
    const bool wantsTls = QList<int>{421, 530, 534, 550}.contains(reply.code) &&
                          asksForTls.match(reply.text()).hasMatch();
    if (reply.code != 530 && !wantsTls) {
        expect(reply, codes);
        return;
    }
    QString reason = kLoginRefused + wordsOf(reply);
    if (wantsTls && account_.tls.mode == platform::FtpTls::Off) {
        reason += QStringLiteral(
            "; a szerver titkosított kapcsolatot kér: a velkor.ini [ftp] "
            "csoportjában a tls értéke legyen auto vagy required");
    }
    throw FtpFailure(reply.text(), reason, FtpFault::LoginRefused);
}

// Feature list, transfer type and system type, as FTP clients commonly ask for them; only the
// type matters here, the other replies may be anything.
void FtpClient::negotiate() {
    const FtpReply feat = command(QStringLiteral("FEAT"));
    if (feat.code / 100 == 2) {
        features_ = feat.innerLines();
    }
    expect(command(QStringLiteral("TYPE I")), {200});
    command(QStringLiteral("SYST"));
    if (listsFeature(QStringLiteral("SITE"), QStringLiteral("ZONE"))) {
        command(QStringLiteral("SITE ZONE"));
    }
}

// Whether the feature list has a line named `name` whose parameters, if asked for, include
// `value` ("SITE CHMOD;ZONE" names ZONE).
bool FtpClient::listsFeature(const QString& name, const QString& value) const {
    static const QRegularExpression separators(QStringLiteral("[ ;,]+"));
    for (const QString& line : features_) {
        const QStringList words = line.split(separators, Qt::SkipEmptyParts);
        if (!words.isEmpty() && words.first().compare(name, Qt::CaseInsensitive) == 0 &&
            (value.isEmpty() || words.mid(1).contains(value, Qt::CaseInsensitive))) {
            return true;
        }
    }
    return false;
}

void FtpClient::Put(const QString& localPath, const QString& remoteName) {
    if (!isConnected()) {
        throw FtpFailure(QStringLiteral("Not connected to the FTP server"),
                         QStringLiteral("nincs kapcsolat az FTP szerverrel"));
    }
    if (remoteName.contains(QLatin1Char('\r')) || remoteName.contains(QLatin1Char('\n'))) {
        throw FtpFailure(QStringLiteral("Invalid remote file name: %1").arg(remoteName),
                         QStringLiteral("érvénytelen állománynév: %1").arg(remoteName));
    }
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        throw FtpFailure(
            QStringLiteral("Cannot open file \"%1\": %2").arg(localPath, file.errorString()),
            QStringLiteral("a(z) %1 állomány nem nyitható meg: %2")
                .arg(localPath, file.errorString()));
    }
    const qint64 size = file.size();

    if (listsFeature(QStringLiteral("PRET"))) {
        command(QStringLiteral("PRET STOR ") + remoteName);
    }
    const FtpReply passive = command(QStringLiteral("PASV"));
    expect(passive, {227});
    // Only the port of the reply is used: the data connection goes to the server the control
    // connection reached, so that a server behind address translation naming its private address
    // still works and no reply can send the file anywhere else.
    quint16 port = 0;
    try {
        port = parsePassiveReply(passive.lines.first()).port;
    } catch (const platform::Failure& failure) {
        throw FtpFailure(failure.text(),
                         QStringLiteral("a szerver érthetetlen választ adott a PASV parancsra (%1)")
                             .arg(passive.lines.first()));
    }

    QSslSocket data;
    data.setProxy(QNetworkProxy::NoProxy);
    send(QStringLiteral("STOR ") + remoteName);
    openDataConnection(data, port);
    expect(readReply(QStringLiteral("STOR")), {110, 125, 150});
    secureDataConnection(data);

    const qint64 sent = sendFile(file, data);
    const bool aborted = awaitCompletion(endDataConnection(data));
    if (sent != size) {
        throw FtpFailure(QStringLiteral("Only %1 of %2 bytes of \"%3\" were sent")
                             .arg(sent)
                             .arg(size)
                             .arg(localPath),
                         QStringLiteral("csak %1 / %2 bájt ment el").arg(sent).arg(size));
    }
    confirmSize(remoteName, size, aborted);
}

void FtpClient::openDataConnection(QSslSocket& data, quint16 port) {
    data.connectToHost(control_.peerAddress(), port);
    Q_EMIT aboutToWait();
    const Wait connected = await(
        data, [&data] { return data.state() == QAbstractSocket::ConnectedState; },
        timeouts_.connect);
    if (connected == Wait::Done)
        return;
    failTransfer(connectFailure(data, connected == Wait::TimedOut,
                                QStringLiteral("open the data connection"),
                                control_.peerAddress().toString(), port, timeouts_.connect));
}

// Over a secured control connection the data connection is secured too, resuming the control
// connection's session (servers may demand it) and accepting the certificate the control
// connection accepted.
void FtpClient::secureDataConnection(QSslSocket& data) {
    if (!control_.isEncrypted())
        return;
    data.setSslConfiguration(control_.sslConfiguration());
    data.setPeerVerifyName(account_.host);
    connect(&data, &QSslSocket::sslErrors, this, [this, &data] {
        if (data.peerCertificate() == control_.peerCertificate())
            data.ignoreSslErrors();
    });
    data.startClientEncryption();
    Q_EMIT aboutToWait();
    const Wait encrypted = await(
        data, [&data] { return data.isEncrypted(); }, timeouts_.connect);
    if (encrypted != Wait::Done) {
        failTransfer(handshakeFailure(
            data, encrypted == Wait::TimedOut, QStringLiteral("of the data connection"),
            QStringLiteral("az adatkapcsolat titkosítása"), timeouts_.connect));
    }
}

qint64 FtpClient::sendFile(QFile& file, QSslSocket& data) {
    const qint64 size = file.size();
    Q_EMIT workBegin(size);
    Q_EMIT aboutToWait();
    std::vector<char> block(kBlockSize);
    qint64 sent = 0;
    const auto broken = [&] {
        failTransfer(
            {QStringLiteral("The data connection broke after %1 of %2 bytes: %3")
                 .arg(sent)
                 .arg(size)
                 .arg(data.errorString()),
             QStringLiteral("megszakadt az adatkapcsolat %1 / %2 bájt után").arg(sent).arg(size)});
    };
    qint64 read;
    while ((read = file.read(block.data(), kBlockSize)) > 0) {
        if (data.write(block.data(), read) != read) {
            broken();
        }
        // The time limit holds for each step forward, not for the whole block.
        for (qint64 pending = pendingBytes(data); pending > 0; pending = pendingBytes(data)) {
            const Wait written = await(
                data, [&data, pending] { return pendingBytes(data) < pending; },
                timeouts_.dataIdle);
            if (written == Wait::Done)
                continue;
            if (written == Wait::TimedOut) {
                throw FtpFailure(QStringLiteral("The upload made no progress for %1 s (%2 of %3 "
                                                "bytes sent)")
                                     .arg(seconds(timeouts_.dataIdle))
                                     .arg(sent)
                                     .arg(size),
                                 QStringLiteral("az adatátvitel %1 másodpercig nem haladt (%2 / %3 "
                                                "bájt)")
                                     .arg(seconds(timeouts_.dataIdle))
                                     .arg(sent)
                                     .arg(size),
                                 FtpFault::TimedOut);
            }
            broken();
        }
        sent += read;
        Q_EMIT work(sent);
    }
    if (read < 0) {
        throw FtpFailure(
            QStringLiteral("Cannot read file \"%1\": %2").arg(file.fileName(), file.errorString()),
            QStringLiteral("a(z) %1 állomány nem olvasható: %2")
                .arg(file.fileName(), file.errorString()));
    }
    return sent;
}

// Once every byte of the file is in the data connection, the client ends its side (a TLS close
// first where it is secured) and waits for the server's orderly close. A reset or an error then
// fails the upload whatever the server replies: it is the only sign of a file the server cut
// short. A server that replies before it closes is taken at its word, unless it refuses the
// upload or had reset the connection already.
std::optional<FtpReply> FtpClient::endDataConnection(QSslSocket& data) {
    const Lingering connection(data);
    data.disconnectFromHost();
    await(
        data, [&data] { return data.state() == QAbstractSocket::UnconnectedState; },
        timeouts_.dataIdle);
    connection.endOutput();
    const auto reset = [&] {
        failTransfer(
            {QStringLiteral("The FTP server reset the data connection at the end of "
                            "the upload"),
             QStringLiteral("a szerver az átvitel végén megszakította az adatkapcsolatot")});
    };
    QSocketNotifier closing(connection.descriptor(), QSocketNotifier::Read);
    Lingering::End end = Lingering::End::Open;
    const Wait ended = await(
        control_,
        [&] {
            end = connection.readAvailable();
            return end != Lingering::End::Open || control_.bytesAvailable() > 0;
        },
        timeouts_.reply, &closing);
    if (end == Lingering::End::Closed)
        return std::nullopt;
    if (end == Lingering::End::Reset)
        reset();
    if (ended == Wait::TimedOut) {
        throw FtpFailure(QStringLiteral("No answer from the FTP server within %1 s (awaiting "
                                        "the reply to STOR)")
                             .arg(seconds(timeouts_.reply)),
                         noAnswerReason(QStringLiteral("STOR"), timeouts_.reply),
                         FtpFault::TimedOut);
    }
    const FtpReply reply = readReply(QStringLiteral("STOR"));
    if (reply.code < 400 && connection.readAvailable() == Lingering::End::Reset)
        reset();
    return reply;
}

// 225, 226 or 250 confirm the upload; 426 or 450 followed at once by 226 or 225 confirm it only
// as far as the server's size does (confirmSize). A lone failure reply ends the upload at once.
bool FtpClient::awaitCompletion(std::optional<FtpReply> early) {
    const FtpReply reply = early ? *std::move(early) : readReply(QStringLiteral("STOR"));
    if (reply.code == 426 || reply.code == 450) {
        const std::optional<FtpReply> next = followingReply(QStringLiteral("STOR"));
        if (!next)
            throw FtpFailure(reply.text(), reasonOfReply(reply));
        expect(*next, {226, 225});
        return true;
    }
    expect(reply, {225, 226, 250});
    return false;
}

// A reply that the server sends right after another, or none.
std::optional<FtpReply> FtpClient::followingReply(const QString& verb) {
    if (await(
            control_, [this] { return control_.bytesAvailable() > 0; },
            std::chrono::milliseconds(kFollowingReplyMs)) != Wait::Done)
        return std::nullopt;
    return readReply(verb);
}

// A server that tells the size of what it keeps is held to it, so that an upload it cut short
// but confirmed all the same fails. One that may not tell it (an upload-only account, or no SIZE
// in its features) is believed on a clean confirmation, not after reporting the upload aborted.
// A 2xx reply other than 213 is a line the server sent unasked after its final reply, and is
// passed over.
void FtpClient::confirmSize(const QString& remoteName, qint64 size, bool required) {
    FtpReply reply;
    if (listsFeature(QStringLiteral("SIZE"))) {
        reply = command(QStringLiteral("SIZE ") + remoteName);
        while (reply.code / 100 == 2 && reply.code != 213)
            reply = readReply(QStringLiteral("SIZE"));
    }
    if (reply.code != 213 && !required)
        return;
    if (reply.code == 0) {
        throw FtpFailure(QStringLiteral("The server reported the upload of \"%1\" aborted "
                                        "and cannot confirm its size")
                             .arg(remoteName),
                         QStringLiteral("a szerver megszakadtnak jelezte az átvitelt, és a "
                                        "méretét nem tudja megerősíteni"));
    }
    bool isNumber = false;
    const qint64 stored =
        reply.code == 213 ? reply.lines.first().mid(4).trimmed().toLongLong(&isNumber) : -1;
    if (!isNumber) {
        throw FtpFailure(QStringLiteral("The server did not confirm the size of \"%1\": %2")
                             .arg(remoteName, reply.text()),
                         QStringLiteral("a szerver nem erősítette meg az állomány méretét (%1)")
                             .arg(reply.lines.join(QLatin1Char(' '))));
    }
    if (stored != size) {
        throw FtpFailure(QStringLiteral("The server holds %1 bytes of \"%2\", %3 were sent")
                             .arg(stored)
                             .arg(remoteName)
                             .arg(size),
                         QStringLiteral("a szerveren az állomány %1 bájt, az elküldött %2 bájt")
                             .arg(stored)
                             .arg(size));
    }
}

// A failed data connection: the server's own reply tells more when it has one at once.
void FtpClient::failTransfer(const FtpFailure& failure) {
    std::optional<FtpReply> reply;
    try {
        reply = followingReply(QStringLiteral("STOR"));
    } catch (const platform::Failure&) {
        throw failure;
    }
    if (reply && reply->code >= 400) {
        throw FtpFailure(reply->text(), reasonOfReply(*reply));
    }
    throw failure;
}

// Closing the socket ends a secured connection with a TLS close first.
void FtpClient::Disconnect() {
    if (stopped_) {
        control_.abort();
        return;
    }
    control_.disconnectFromHost();
    if (await(
            control_, [this] { return control_.state() == QAbstractSocket::UnconnectedState; },
            timeouts_.reply) != Wait::Done) {
        const QString reason = control_.errorString();
        control_.abort();
        throw FtpFailure(
            QStringLiteral("Cannot close the connection to the FTP server: %1").arg(reason),
            QStringLiteral("nem sikerült bontani a kapcsolatot: %1").arg(reason));
    }
    features_.clear();
}

void FtpClient::stop() {
    stopped_ = true;
    Q_EMIT stopRequested();
}

// The client never blocks the thread it runs on: it runs the event loop until what it waits for
// has come, so that a window can draw itself and its user can stop the run meanwhile. Any signal of
// the socket (or of the extra notifier) wakes it to look again.
FtpClient::Wait FtpClient::await(QAbstractSocket& socket, const std::function<bool()>& done,
                                 QDeadlineTimer deadline, QSocketNotifier* notifier) {
    QEventLoop loop;
    bool failed = false;
    const auto wake = [&loop] { loop.quit(); };
    connect(&socket, &QIODevice::readyRead, &loop, wake);
    connect(&socket, &QIODevice::bytesWritten, &loop, wake);
    connect(&socket, &QAbstractSocket::stateChanged, &loop, wake);
    connect(&socket, &QAbstractSocket::errorOccurred, &loop, [&] {
        failed = true;
        loop.quit();
    });
    if (auto* secured = qobject_cast<QSslSocket*>(&socket)) {
        connect(secured, &QSslSocket::encrypted, &loop, wake);
        connect(secured, &QSslSocket::encryptedBytesWritten, &loop, wake);
    }
    if (notifier)
        connect(notifier, &QSocketNotifier::activated, &loop, wake);
    connect(this, &FtpClient::stopRequested, &loop, wake);
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, wake);
    for (;;) {
        if (stopped_) {
            throw FtpFailure(QStringLiteral("The send run was stopped"),
                             QStringLiteral("a küldést megszakították"), FtpFault::Stopped);
        }
        if (done())
            return Wait::Done;
        if (failed || socket.state() == QAbstractSocket::UnconnectedState)
            return Wait::Failed;
        if (deadline.hasExpired())
            return Wait::TimedOut;
        timer.start(std::chrono::milliseconds(deadline.remainingTime()));
        loop.exec();
    }
}

void FtpClient::send(const QString& line) {
    const QDeadlineTimer deadline(timeouts_.reply);
    control_.write((line + QStringLiteral("\r\n")).toUtf8());
    if (await(
            control_, [this] { return pendingBytes(control_) == 0; }, deadline) != Wait::Done) {
        throw FtpFailure(QStringLiteral("Cannot send %1 to the FTP server: %2")
                             .arg(verbOf(line), control_.errorString()),
                         QStringLiteral("nem sikerült elküldeni a(z) %1 parancsot: %2")
                             .arg(verbOf(line), control_.errorString()));
    }
}

FtpReply FtpClient::command(const QString& line) {
    send(line);
    return readReply(verbOf(line));
}

// The time limit holds for the whole reply, however many lines arrive in time: a server that
// keeps sending continuation lines is given up like a silent one.
FtpReply FtpClient::readReply(const QString& verb) {
    Q_EMIT aboutToWait();
    const QDeadlineTimer deadline(timeouts_.reply);
    FtpReplyReader reader;
    const auto complete = [&] {
        const QString line = readLine(deadline, verb);
        try {
            return reader.addLine(line);
        } catch (const platform::Failure& failure) {
            throw FtpFailure(
                failure.text(),
                QStringLiteral("a szerver érthetetlen vagy túl hosszú választ küldött"));
        }
    };
    while (!complete()) {
        if (deadline.hasExpired()) {
            throw FtpFailure(QStringLiteral("The reply of the FTP server did not end within %1 s "
                                            "(awaiting %2)")
                                 .arg(seconds(timeouts_.reply), awaiting(verb)),
                             noAnswerReason(verb, timeouts_.reply), FtpFault::TimedOut);
        }
    }
    return reader.take();
}

QString FtpClient::readLine(const QDeadlineTimer& deadline, const QString& verb) {
    while (!control_.canReadLine()) {
        if (control_.bytesAvailable() > kMaxReplyLine) {
            throw FtpFailure(QStringLiteral("The FTP server sent an overlong line (awaiting %1)")
                                 .arg(awaiting(verb)),
                             QStringLiteral("a szerver túl hosszú sort küldött"));
        }
        const Wait read = await(
            control_,
            [this] { return control_.canReadLine() || control_.bytesAvailable() > kMaxReplyLine; },
            deadline);
        if (read == Wait::Done)
            continue;
        if (read == Wait::TimedOut) {
            throw FtpFailure(QStringLiteral("No answer from the FTP server within %1 s (awaiting "
                                            "%2)")
                                 .arg(seconds(timeouts_.reply), awaiting(verb)),
                             noAnswerReason(verb, timeouts_.reply), FtpFault::TimedOut);
        }
        throw FtpFailure(QStringLiteral("The FTP server closed the connection (awaiting %1): %2")
                             .arg(awaiting(verb), control_.errorString()),
                         QStringLiteral("a szerver bontotta a kapcsolatot"));
    }
    QByteArray line = control_.readLine();
    while (line.endsWith('\n') || line.endsWith('\r')) {
        line.chop(1);
    }
    return QString::fromUtf8(line);
}

void FtpClient::expect(const FtpReply& reply, std::initializer_list<int> codes) {
    for (const int code : codes) {
        if (reply.code == code) {
            return;
        }
    }
    throw FtpFailure(reply.text(), reasonOfReply(reply));
}

}  // namespace transmission
