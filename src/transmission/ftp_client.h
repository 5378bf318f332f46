#pragma once

#include "platform/failure.h"
#include "platform/settings.h"
#include "transmission/ftp_reply.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QSet>
#include <QSslCertificate>
#include <QSslSocket>
#include <QStringList>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <optional>

class QFile;
class QSocketNotifier;

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
    platform::FtpTlsSetting tls{platform::FtpTls::Off, {}, {}, {}, {}};
};

// What a failure says beyond the one file: that the server did not answer in time, or refused the
// login (a wrong password, or a plain login where it wants TLS), or that the user stopped the
// run; either way the server is not tried again in the run.
enum class FtpFault { FileOnly, TimedOut, LoginRefused, Stopped };

// A failed step of the client: text() tells it in English for the error box, reason() in
// Hungarian for the send run's log, as in "a szerver elutasította a bejelentkezést (530 Login
// incorrect.)".
class FtpFailure : public platform::Failure {
public:
    FtpFailure(QString text, QString reason, FtpFault fault = FtpFault::FileOnly)
        : Failure(std::move(text)), reason_(std::move(reason)), fault_(fault) {}
    const QString& reason() const noexcept { return reason_; }
    FtpFault fault() const noexcept { return fault_; }
    bool timedOut() const noexcept { return fault_ == FtpFault::TimedOut; }

private:
    QString reason_;
    FtpFault fault_;
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

// An FTP client that uploads one file per connection: Connect logs in, Put sends the file in
// passive mode under a name of the caller's choice, Disconnect closes the connection without a
// QUIT. Each call returns when its step is done; while it waits for the server, the program's
// events are processed, so that a window draws itself and its user can stop the run (stop). Every
// failure, an unexpected reply included, throws FtpFailure carrying the server's reply text or the
// reason.
//
// Unless the account's TLS mode is off, the client asks for explicit TLS (AUTH TLS) after the
// greeting; once agreed, the control and every data connection are secured, and nothing falls
// back to plain text. Under auto a server that does not agree gets plain FTP, unless it is the
// server that agreed before (agreedServer): then nothing is sent, as someone may be stripping
// TLS off the connection. A 234 to AUTH TLS is the agreement, whatever the handshake then shows.
// A certificate that does not verify is accepted only when it is the one the account names (its
// SHA-256 fingerprint) or when the question, asked once per certificate and client, is answered
// yes. The client keeps both for as long as it lives and tells them (tlsAgreed,
// certificateTrusted) for the settings file.
class FtpClient : public QObject {
    Q_OBJECT

public:
    explicit FtpClient(FtpAccount account = collectingServerAccount(), FtpTimeouts timeouts = {},
                       QObject* parent = nullptr);

    // Opens the control connection, logs in and sets the image type. On failure the connection
    // is already closed again.
    void Connect();
    // Uploads the whole local file under remoteName. It counts as complete only when every byte
    // of the file was written to the data connection, the server closed the data connection in
    // order after the client ended its side, it confirmed the upload and, when it tells a size
    // (213 to SIZE), it holds as many bytes as were sent. A server that may not tell sizes
    // (upload-only accounts) is believed on a clean confirmation; an upload it first reported
    // aborted (426 or 450, then at once 226 or 225) needs the size. A failed Put leaves the
    // control connection open.
    void Put(const QString& localPath, const QString& remoteName);
    // Closes the control connection.
    void Disconnect();

    bool isConnected() const;
    // Why the connection that Connect opened is not encrypted under auto; nothing when it is, or
    // when TLS is off.
    const std::optional<QString>& unencryptedReason() const { return unencryptedReason_; }
    // Stops what the client is doing and all it is asked to do afterwards: each fails with
    // FtpFault::Stopped. Called while the client waits, from a window's event handler.
    void stop();
    // Without a question, a certificate that does not verify fails the connection, its
    // fingerprint named in the reason.
    void setCertificateQuestion(CertificateQuestion question) { question_ = std::move(question); }

Q_SIGNALS:
    // Once when the data transfer starts, with the number of bytes to send.
    void workBegin(qint64 total);
    // After each block written to the data connection, with the bytes sent so far.
    void work(qint64 count);
    // Before each step that may have to wait for the server: connecting, each reply, the upload.
    void aboutToWait();
    // The server, "host:port", agreed to TLS where the account did not yet know it had.
    void tlsAgreed(const QString& server);
    // The user chose to trust the certificate of this fingerprint, "sha256:<hex>".
    void certificateTrusted(const QString& fingerprint);
    // Wakes a wait of the client to see that it was stopped.
    void stopRequested();

private:
    void connectAndLogIn();
    void openControlConnection();
    void secureControlConnection();
    QSslConfiguration tlsConfiguration() const;
    void judgeCertificate(QSslSocket& socket, const QList<QSslError>& errors);
    bool trustOffered();
    QString serverName() const;
    void noteAgreement();
    void refuseTls(const FtpReply& auth);
    void logIn();
    void expectLogin(const FtpReply& reply, std::initializer_list<int> codes);
    void negotiate();
    bool listsFeature(const QString& name, const QString& value = {}) const;

    enum class Wait { Done, TimedOut, Failed };
    Wait await(QAbstractSocket& socket, const std::function<bool()>& done, QDeadlineTimer deadline,
               QSocketNotifier* notifier = nullptr);
    void send(const QString& line);
    FtpReply command(const QString& line);
    // `verb` names the command whose reply is awaited, empty for the greeting.
    FtpReply readReply(const QString& verb);
    QString readLine(const QDeadlineTimer& deadline, const QString& verb);
    static void expect(const FtpReply& reply, std::initializer_list<int> codes);

    void openDataConnection(QSslSocket& data, quint16 port);
    void secureDataConnection(QSslSocket& data);
    qint64 sendFile(QFile& file, QSslSocket& data);
    // Ends the client's side of the data connection and waits for the server's orderly close or
    // its reply, whichever comes first; the reply, when it came meanwhile.
    std::optional<FtpReply> endDataConnection(QSslSocket& data);
    // True when the server first reported the upload aborted.
    bool awaitCompletion(std::optional<FtpReply> early);
    std::optional<FtpReply> followingReply(const QString& verb);
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
    std::optional<QString> unencryptedReason_;
    bool stopped_ = false;
};

}  // namespace transmission
