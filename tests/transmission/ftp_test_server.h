#pragma once

#include "platform/settings.h"
#include "transmission/ftp_client.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

namespace testsupport {

// How long a test waits for a server's log to show what it awaits: far above what a busy machine
// needs, as the wait ends once it shows.
inline constexpr int kServerLogMs = 30'000;

// A port of 127.0.0.1 kept bound, and never listened on, while this object lives: a connection to
// it is refused, and the system gives it to no other socket, neither for a bind to port 0 nor as
// the local end of a connection. A server that shares addresses (SO_REUSEADDR, as vsftpd and
// pyftpdlib do) may still listen on it, so a server's port is known before the server starts and
// nobody else takes it meanwhile, unlike a port bound once and released.
class ReservedPort {
public:
    ReservedPort();
    ~ReservedPort();
    ReservedPort(const ReservedPort&) = delete;
    ReservedPort& operator=(const ReservedPort&) = delete;

    quint16 number() const { return number_; }

private:
    int socket_;
    quint16 number_ = 0;
};

// What a compressed file as the send run uploads it (a zlib stream) inflates to; "not a zlib
// stream" when it is none.
QByteArray inflated(const QByteArray& stream);

// A real FTP server on 127.0.0.1 (ftp_server.py beside this file), serving a temporary folder to
// one account, behaving or misbehaving as `mode` asks. The mode "vsftpd-tls" runs Debian's
// vsftpd instead, demanding TLS on both connections and the data connection resuming the
// session, as its defaults do; it logs any user in (its logins need root). The server listens on
// `port`, which a ReservedPort holds so that nothing else takes it first, or on a free port when
// it is 0, and runs as long as this object lives.
class FtpTestServer {
public:
    explicit FtpTestServer(const QString& mode = QStringLiteral("normal"),
                           const QString& user = QStringLiteral("tester"),
                           const QString& password = QStringLiteral("secret"), quint16 port = 0);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    // False when the server could not be started; error() says why.
    bool isRunning() const { return port_ != 0; }
    QString error() const { return error_; }

    // 127.0.0.1, the server's port and the account it serves.
    transmission::FtpAccount account() const;
    // Points the program at this server: the settings file (velkor.ini in the current folder
    // unless another is given) names its host and port.
    void writeSettingsFile(const QString& path = platform::settingsFilePath()) const;
    // The certificate of a TLS mode (PEM) and its fingerprint as velkor.ini keeps it.
    QString certificate() const { return dir_.filePath(QStringLiteral("certificate.pem")); }
    QString fingerprint() const;
    // The folder the account logs in to.
    QString root() const { return dir_.filePath(QStringLiteral("root")); }
    // The commands received per connection, in order, one list per connection closed so far.
    QList<QStringList> sessions() const;

private:
    void startScript(const QString& mode, quint16 port);
    void startVsftpd(quint16 port);
    QString vsftpdConfiguration() const;
    QList<QStringList> vsftpdSessions() const;

    QTemporaryDir dir_;
    bool vsftpd_ = false;
    std::optional<ReservedPort> vsftpdPort_;
    QString pamService_;
    QProcess process_;
    QString user_;
    QString password_;
    quint16 port_ = 0;
    QString error_;
};

}  // namespace testsupport
