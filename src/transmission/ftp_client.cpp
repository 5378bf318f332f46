#include "transmission/ftp_client.h"

#include "platform/failure.h"
#include "platform/settings.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QSslConfiguration>

#include <vector>

namespace transmission {

namespace {

// The one place that names the upload account; the server itself is the user's setting.
constexpr auto kUser = "zovavazuvi";
constexpr auto kPassword = "quilmortend5831";

constexpr qint64 kBlockSize = 65536;
constexpr qint64 kMaxReplyLine = 65536;

using platform::Failure;

int milliseconds(std::chrono::milliseconds limit) {
    return static_cast<int>(limit.count());
}

QString seconds(std::chrono::milliseconds limit) {
    return QStringLiteral("%1 s").arg(static_cast<double>(limit.count()) / 1000.0);
}

QString verbOf(const QString& line) {
    return line.section(QLatin1Char(' '), 0, 0);
}

// A certificate that did not verify and was not pinned: the user may still trust it.
class UntrustedCertificate : public Failure {
    using Failure::Failure;
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

QString questionAbout(const QString& host, const QSslCertificate& certificate,
                      const QList<QSslError>& errors) {
    const QString format = QStringLiteral("yyyy.MM.dd. hh:mm");
    return QStringLiteral(
               "Az FTP szerver (%1) tanúsítványa nem ellenőrizhető: %2\n\nTulajdonos: %3\n"
               "Kibocsátó: %4\nÉrvényes: %5 – %6\nSHA-256 ujjlenyomat:\n%7\n\nMegbízik ebben a "
               "tanúsítványban? Igen esetén a program megjegyzi, és ettől kezdve ennél a "
               "szervernél kérdés nélkül elfogadja; Nem esetén semmit sem küld.")
        .arg(host, reasonsOf(errors), certificate.subjectDisplayName(),
             certificate.issuerDisplayName(), certificate.effectiveDate().toString(format),
             certificate.expiryDate().toString(format),
             QString::fromLatin1(
                 certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper()));
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

}  // namespace

FtpAccount collectingServerAccount() {
    const platform::FtpServerSetting server = platform::ftpServerSetting();
    return {server.host, server.port, QString::fromLatin1(kUser), QString::fromLatin1(kPassword),
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
        if (!trustOffered())
            throw Failure(untrusted.text());
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
    if (account_.tls.mode == platform::FtpTls::Unknown) {
        throw Failure(
            QStringLiteral("a(z) %1 [ftp] csoportjának tls értéke ismeretlen: \"%2\" (auto, "
                           "required vagy off lehet)")
                .arg(platform::settingsFilePath(), account_.tls.modeText));
    }
    if (account_.host.isEmpty()) {
        throw Failure(QStringLiteral("No FTP server is set (key host of the group [ftp] in %1)")
                          .arg(platform::settingsFilePath()));
    }
    control_.connectToHost(account_.host, account_.port);
    if (!control_.waitForConnected(milliseconds(timeouts_.connect))) {
        const QString target = QStringLiteral("%1:%2").arg(account_.host).arg(account_.port);
        throw Failure(control_.error() == QAbstractSocket::SocketTimeoutError
                          ? QStringLiteral("Could not connect to %1 within %2")
                                .arg(target, seconds(timeouts_.connect))
                          : QStringLiteral("Could not connect to %1: %2")
                                .arg(target, control_.errorString()));
    }
    expect(readReply(QStringLiteral("the greeting")), {220});
}

// AUTH TLS after the greeting; a refusal (5xx) leaves the connection plain only under auto.
void FtpClient::secureControlConnection() {
    const platform::FtpTls mode = account_.tls.mode;
    if (mode == platform::FtpTls::Required && !QSslSocket::supportsSsl())
        throw Failure(QStringLiteral("ezen a gépen nem érhető el a TLS (OpenSSL) titkosítás"));
    if (mode == platform::FtpTls::Off || !QSslSocket::supportsSsl())
        return;
    const FtpReply auth = command(QStringLiteral("AUTH TLS"));
    if (auth.code / 100 == 5 && mode == platform::FtpTls::Auto)
        return;
    if (auth.code != 234) {
        throw Failure(auth.code / 100 == 5
                          ? QStringLiteral("a szerver nem fogad titkosított kapcsolatot (%1)")
                                .arg(auth.text())
                          : auth.text());
    }
    control_.setSslConfiguration(tlsConfiguration());
    control_.setPeerVerifyName(account_.host);
    offered_ = QSslCertificate();
    control_.startClientEncryption();
    if (control_.waitForEncrypted(milliseconds(timeouts_.connect)))
        return;
    if (offered_.isNull()) {
        throw Failure(QStringLiteral("a titkosított kapcsolat nem jött létre: %1")
                          .arg(control_.errorString()));
    }
    const QString offered = fingerprintOf(offered_);
    if (!account_.tls.certificate.isEmpty()) {
        throw Failure(QStringLiteral("a szerver tanúsítványa megváltozott, ezért a program nem "
                                     "fogadja el (a megjegyzett: %1, a mostani: %2); ha a "
                                     "változás várható, törölje a(z) %3 [ftp] certificate "
                                     "kulcsát")
                          .arg(account_.tls.certificate, offered, platform::settingsFilePath()));
    }
    throw UntrustedCertificate(QStringLiteral("a szerver tanúsítványa nem megbízható: %1 (%2)")
                                   .arg(reasonsOf(offeredErrors_), offered));
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
            throw Failure(
                QStringLiteral("a(z) %1 [ftp] cafile fájljából (%2) nem olvasható tanúsítvány")
                    .arg(platform::settingsFilePath(), caFile));
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

// Asks once per certificate; a yes is kept in the settings file and holds for this client at
// once, even where the file cannot be written.
bool FtpClient::trustOffered() {
    const QString fingerprint = fingerprintOf(offered_);
    if (!question_ || refused_.contains(fingerprint))
        return false;
    if (!question_(questionAbout(account_.host, offered_, offeredErrors_))) {
        refused_.insert(fingerprint);
        return false;
    }
    account_.tls.certificate = fingerprint;
    platform::storeFtpCertificate(fingerprint);
    return true;
}

void FtpClient::logIn() {
    const FtpReply user = command(QStringLiteral("USER ") + account_.user);
    expect(user, {230, 232, 331});
    if (user.code == 331) {
        expect(command(QStringLiteral("PASS ") + account_.password), {230});
    }
    if (control_.isEncrypted()) {
        expect(command(QStringLiteral("PBSZ 0")), {200});
        expect(command(QStringLiteral("PROT P")), {200});
    }
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
        throw Failure(QStringLiteral("Not connected to the FTP server"));
    }
    if (remoteName.contains(QLatin1Char('\r')) || remoteName.contains(QLatin1Char('\n'))) {
        throw Failure(QStringLiteral("Invalid remote file name: %1").arg(remoteName));
    }
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(
            QStringLiteral("Cannot open file \"%1\": %2").arg(localPath, file.errorString()));
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
    const quint16 port = parsePassiveReply(passive.lines.first()).port;

    QSslSocket data;
    data.setProxy(QNetworkProxy::NoProxy);
    send(QStringLiteral("STOR ") + remoteName);
    openDataConnection(data, port);
    expect(readReply(QStringLiteral("the reply to STOR")), {110, 125, 150});
    secureDataConnection(data);

    const qint64 sent = sendFile(file, data);
    closeDataConnection(data);
    awaitCompletion();
    if (sent != size) {
        throw Failure(QStringLiteral("Only %1 of %2 bytes of \"%3\" were sent")
                          .arg(sent)
                          .arg(size)
                          .arg(localPath));
    }
}

void FtpClient::openDataConnection(QSslSocket& data, quint16 port) {
    data.connectToHost(control_.peerAddress(), port);
    if (data.waitForConnected(milliseconds(timeouts_.connect))) {
        return;
    }
    const QString target = QStringLiteral("%1:%2").arg(control_.peerAddress().toString()).arg(port);
    failTransfer(data.error() == QAbstractSocket::SocketTimeoutError
                     ? QStringLiteral("Could not open the data connection to %1 within %2")
                           .arg(target, seconds(timeouts_.connect))
                     : QStringLiteral("Could not open the data connection to %1: %2")
                           .arg(target, data.errorString()));
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
    if (!data.waitForEncrypted(milliseconds(timeouts_.connect))) {
        failTransfer(QStringLiteral("az adatkapcsolat titkosítása nem sikerült: %1")
                         .arg(data.errorString()));
    }
}

qint64 FtpClient::sendFile(QFile& file, QSslSocket& data) {
    const qint64 size = file.size();
    Q_EMIT workBegin(size);
    std::vector<char> block(kBlockSize);
    qint64 sent = 0;
    const auto broken = [&] {
        failTransfer(QStringLiteral("The data connection broke after %1 of %2 bytes: %3")
                         .arg(sent)
                         .arg(size)
                         .arg(data.errorString()));
    };
    qint64 read;
    while ((read = file.read(block.data(), kBlockSize)) > 0) {
        if (data.write(block.data(), read) != read) {
            broken();
        }
        while (pendingBytes(data) > 0) {
            if (data.waitForBytesWritten(milliseconds(timeouts_.dataIdle))) {
                continue;
            }
            if (data.error() == QAbstractSocket::SocketTimeoutError) {
                throw Failure(QStringLiteral("The upload made no progress for %1 (%2 of %3 bytes "
                                             "sent)")
                                  .arg(seconds(timeouts_.dataIdle))
                                  .arg(sent)
                                  .arg(size));
            }
            broken();
        }
        sent += read;
        Q_EMIT work(sent);
    }
    if (read < 0) {
        throw Failure(
            QStringLiteral("Cannot read file \"%1\": %2").arg(file.fileName(), file.errorString()));
    }
    return sent;
}

// Ends the upload once every byte of the file is in the data connection: the connection is closed
// as a whole (the system still delivers what it holds, then the end of the file), and the
// server's final reply tells whether the file arrived; a server that keeps its own side open after
// confirming cannot hold the upload. Whatever the server sent meanwhile is dropped first, because
// closing a socket with unread input would reset the connection.
// A secured connection sends its closing alert with the close, which is waited for.
void FtpClient::closeDataConnection(QSslSocket& data) {
    data.readAll();
    data.disconnectFromHost();
    if (data.state() != QAbstractSocket::UnconnectedState)
        data.waitForDisconnected(milliseconds(timeouts_.dataIdle));
}

// 225, 226 or 250 confirm the upload; 426 or 450 followed by 226 or 225 confirm it as well.
void FtpClient::awaitCompletion() {
    const QString awaiting = QStringLiteral("the reply to STOR");
    const FtpReply reply = readReply(awaiting);
    if (reply.code == 426 || reply.code == 450) {
        expect(readReply(awaiting), {226, 225});
    } else {
        expect(reply, {225, 226, 250});
    }
}

// A failed data connection: the server's own reply tells more when it has one.
void FtpClient::failTransfer(const QString& reason) {
    FtpReply reply;
    try {
        reply = readReply(QStringLiteral("the reply to STOR"));
    } catch (const Failure&) {
        throw Failure(reason);
    }
    throw Failure(reply.code >= 400 ? reply.text() : reason);
}

void FtpClient::Disconnect() {
    control_.disconnectFromHost();
    if (control_.state() != QAbstractSocket::UnconnectedState &&
        !control_.waitForDisconnected(milliseconds(timeouts_.reply))) {
        const QString reason = control_.errorString();
        control_.abort();
        throw Failure(
            QStringLiteral("Cannot close the connection to the FTP server: %1").arg(reason));
    }
    features_.clear();
}

void FtpClient::send(const QString& line) {
    const QDeadlineTimer deadline(timeouts_.reply);
    control_.write((line + QStringLiteral("\r\n")).toUtf8());
    while (control_.bytesToWrite() > 0) {
        if (!control_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
            throw Failure(QStringLiteral("Cannot send %1 to the FTP server: %2")
                              .arg(verbOf(line), control_.errorString()));
        }
    }
}

FtpReply FtpClient::command(const QString& line) {
    send(line);
    return readReply(QStringLiteral("the reply to ") + verbOf(line));
}

// The time limit holds for the whole reply, however many lines arrive in time: a server that
// keeps sending continuation lines is given up like a silent one.
FtpReply FtpClient::readReply(const QString& awaiting) {
    const QDeadlineTimer deadline(timeouts_.reply);
    FtpReplyReader reader;
    while (!reader.addLine(readLine(deadline, awaiting))) {
        if (deadline.hasExpired()) {
            throw Failure(QStringLiteral("The reply of the FTP server did not end within %1 "
                                         "(awaiting %2)")
                              .arg(seconds(timeouts_.reply), awaiting));
        }
    }
    return reader.take();
}

QString FtpClient::readLine(const QDeadlineTimer& deadline, const QString& awaiting) {
    while (!control_.canReadLine()) {
        if (control_.bytesAvailable() > kMaxReplyLine) {
            throw Failure(
                QStringLiteral("The FTP server sent an overlong line (awaiting %1)").arg(awaiting));
        }
        if (control_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            continue;
        }
        throw Failure(control_.error() == QAbstractSocket::SocketTimeoutError ||
                              deadline.hasExpired()
                          ? QStringLiteral("No answer from the FTP server within %1 (awaiting %2)")
                                .arg(seconds(timeouts_.reply), awaiting)
                          : QStringLiteral("The FTP server closed the connection (awaiting %1): %2")
                                .arg(awaiting, control_.errorString()));
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
    throw Failure(reply.text());
}

}  // namespace transmission
