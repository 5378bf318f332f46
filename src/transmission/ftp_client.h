#pragma once

#include "platform/failure.h"
#include "platform/settings.h"
#include "transmission/ftp_reply.h"

#include <QObject>
#include <QSet>
#include <QSslCertificate>
#include <QSslSocket>
#include <QStringList>

#include <chrono>
#include <functional>
#include <initializer_list>

class QDeadlineTimer;
class QFile;

namespace transmission {

// Where and as whom the client logs in.
struct FtpAccount {
    QString host;
    quint16 port = 21;
    QString user;
    QString password;
    // The port as the settings file gives it when that is not a port; Connect then refuses.
    QString invalidPort = {};
    // Whether and how the connection is secured; plain unless set.
    platform::FtpTlsSetting tls{platform::FtpTls::Off, {}, {}, {}};
};

// A failed step of the client: text() tells it in English for the error box, reason() in
// Hungarian for the send run's log, as in "a szerver elutasította a bejelentkezést (530 Login
// incorrect.)". timedOut() when the server did not answer in time.
class FtpFailure : public platform::Failure {
public:
    FtpFailure(QString text, QString reason, bool timedOut = false)
        : Failure(std::move(text)), reason_(std::move(reason)), timedOut_(timedOut) {}
    const QString& reason() const noexcept { return reason_; }
    bool timedOut() const noexcept { return timedOut_; }

private:
    QString reason_;
    bool timedOut_;
};

// The reason to tell the user: a failure of the client gives its own, any other its text.
QString reasonOf(const platform::Failure& failure);

// The collecting organisation's server as set in velkor.ini (no host when none is set, port 21
// when absent, its TLS keys) and the program's fixed upload account.
FtpAccount collectingServerAccount();

// How long the client waits before it gives up a step.
struct FtpTimeouts {
    std::chrono::milliseconds connect{30'000};   // opening a control or data connection
    std::chrono::milliseconds reply{60'000};     // each reply of the server
    std::chrono::milliseconds dataIdle{60'000};  // no progress on the data connection
};

// Asks whether to trust a server certificate that does not verify; true for yes.
using CertificateQuestion = std::function<bool(const QString& question)>;

// A blocking FTP client that uploads one file per connection: Connect logs in, Put sends the file
// in passive mode under a name of the caller's choice, Disconnect closes the connection without
// a QUIT. Every failure, an unexpected reply included, throws FtpFailure carrying the server's
// reply text or the reason.
//
// Unless the account's TLS mode is off, the client asks for explicit TLS (AUTH TLS) after the
// greeting; once agreed, the control and every data connection are secured, and nothing falls
// back to plain text. A certificate that does not verify is accepted only when it is the one the
// account names (its SHA-256 fingerprint) or when the question, asked once per certificate and
// client, is answered yes; the answer is then kept in the settings file.
class FtpClient : public QObject {
    Q_OBJECT

public:
    explicit FtpClient(FtpAccount account = collectingServerAccount(), FtpTimeouts timeouts = {},
                       QObject* parent = nullptr);

    // Opens the control connection, logs in and sets the image type. On failure the connection
    // is already closed again.
    void Connect();
    // Uploads the whole local file under remoteName. It counts as complete only when the server
    // confirmed it, every byte of the file was written to the data connection and, when the
    // server can tell (SIZE in its feature list), it holds as many bytes as were sent; an upload
    // the server first reported aborted (426 or 450, then 226 or 225) needs that confirmation.
    // A failed Put leaves the control connection open.
    void Put(const QString& localPath, const QString& remoteName);
    // Closes the control connection.
    void Disconnect();

    bool isConnected() const;
    // Without a question, a certificate that does not verify fails the connection.
    void setCertificateQuestion(CertificateQuestion question) { question_ = std::move(question); }

Q_SIGNALS:
    // Once when the data transfer starts, with the number of bytes to send.
    void workBegin(qint64 total);
    // After each block written to the data connection, with the bytes sent so far.
    void work(qint64 count);
    // Before each step that may have to wait for the server: connecting, each reply, the upload.
    void aboutToWait();

private:
    void connectAndLogIn();
    void openControlConnection();
    void secureControlConnection();
    QSslConfiguration tlsConfiguration() const;
    void judgeCertificate(QSslSocket& socket, const QList<QSslError>& errors);
    bool trustOffered();
    void logIn();
    void negotiate();
    bool listsFeature(const QString& name, const QString& value = {}) const;

    void send(const QString& line);
    FtpReply command(const QString& line);
    // `verb` names the command whose reply is awaited, empty for the greeting.
    FtpReply readReply(const QString& verb);
    QString readLine(const QDeadlineTimer& deadline, const QString& verb);
    static void expect(const FtpReply& reply, std::initializer_list<int> codes);

    void openDataConnection(QSslSocket& data, quint16 port);
    void secureDataConnection(QSslSocket& data);
    qint64 sendFile(QFile& file, QSslSocket& data);
    void closeDataConnection(QSslSocket& data);
    // True when the server first reported the upload aborted.
    bool awaitCompletion();
    void confirmSize(const QString& remoteName, qint64 size, bool required);
    [[noreturn]] void failTransfer(const FtpFailure& failure);

    FtpAccount account_;
    FtpTimeouts timeouts_;
    QSslSocket control_;
    QStringList features_;
    CertificateQuestion question_;
    // The certificate of the last handshake that did not verify, and why.
    QSslCertificate offered_;
    QList<QSslError> offeredErrors_;
    QSet<QString> refused_;  // fingerprints the user would not trust
};

}  // namespace transmission
