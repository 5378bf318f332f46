#include "ftp_test_server.h"

#include "platform/settings.h"
#include "support/program_folder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QSslCertificate>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace testsupport {

// Bound with SO_REUSEADDR: the system then picks the port for no other socket, while a server
// that shares addresses too may bind it.
ReservedPort::ReservedPort() : socket_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    const int shared = 1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (socket_ < 0 || setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, &shared, sizeof shared) != 0 ||
        bind(socket_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        qFatal("No port of 127.0.0.1 could be reserved: %s", strerror(errno));
    number_ = ntohs(address.sin_port);
}

ReservedPort::~ReservedPort() {
    close(socket_);
}

QByteArray inflated(const QByteArray& stream) {
    QByteArray out(1 << 20, Qt::Uninitialized);
    uLongf size = static_cast<uLongf>(out.size());
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                   reinterpret_cast<const Bytef*>(stream.constData()),
                   static_cast<uLong>(stream.size())) != Z_OK)
        return "not a zlib stream";
    out.truncate(static_cast<qsizetype>(size));
    return out;
}

namespace {

const QString kVsftpd = QStringLiteral("/usr/sbin/vsftpd");
// How long a server may take to start, far above what it needs on a busy machine.
constexpr int kStartLimitMs = 60'000;

// Whether the server greeting with `banner` listens on the port; one that listens is waited for.
bool greets(quint16 port, const QString& banner) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(kStartLimitMs))
        return false;
    while (!socket.canReadLine() && socket.waitForReadyRead(kStartLimitMs)) {
    }
    return socket.readLine() == "220 " + banner.toUtf8() + "\r\n";
}

}  // namespace

FtpTestServer::FtpTestServer(const QString& mode, const QString& user, const QString& password,
                             quint16 port)
    : vsftpd_(mode == u"vsftpd-tls"), user_(user), password_(password) {
    QDir(dir_.path()).mkdir(QStringLiteral("root"));
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (vsftpd_)
        startVsftpd(port ? port : vsftpdPort_.emplace().number());
    else
        startScript(mode, port);
}

// The server names its port once it listens; making a certificate first may take a while on a
// busy machine.
void FtpTestServer::startScript(const QString& mode, quint16 port) {
    process_.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(VK_FTP_SERVER_SCRIPT), root(),
                    dir_.filePath(QStringLiteral("commands.log")), user_, password_, mode,
                    QString::number(port)});
    while (!process_.canReadLine() && process_.waitForReadyRead(kStartLimitMs)) {
    }
    const QByteArray line = process_.readLine().trimmed();
    if (line.startsWith("PORT ")) {
        port_ = line.mid(5).toUShort();
    } else {
        error_ = QStringLiteral("The FTP test server did not start: %1 %2")
                     .arg(QString::fromUtf8(line), process_.errorString());
    }
}

// vsftpd drops its rights to the system's ftp user and lets every login in through a PAM service
// of its own that permits anyone; the folders it serves are opened to that user. It says nothing
// when it listens: it is started once it greets with its banner, its folder's path, which tells
// it from any other server.
void FtpTestServer::startVsftpd(quint16 port) {
    if (geteuid() != 0 || !QFile::exists(kVsftpd) || !getpwnam("ftp")) {
        error_ = QStringLiteral("vsftpd needs root, %1 and the system user ftp").arg(kVsftpd);
        return;
    }
    const QString key = dir_.filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.setStandardErrorFile(QProcess::nullDevice());
    openssl.start(QStringLiteral("openssl"),
                  {u"req"_s, u"-x509"_s, u"-newkey"_s, u"rsa:2048"_s, u"-nodes"_s, u"-subj"_s,
                   u"/CN=127.0.0.1"_s, u"-addext"_s, u"subjectAltName=IP:127.0.0.1"_s, u"-keyout"_s,
                   key, u"-out"_s, certificate()});
    if (!openssl.waitForFinished() || openssl.exitCode() != 0) {
        error_ = QStringLiteral("openssl could not make the server's certificate");
        return;
    }
    QDir(dir_.path()).mkdir(QStringLiteral("empty"));
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(root(), QFileDevice::Permissions(0x7777));  // anyone may write
    pamService_ = QStringLiteral("vk-test-vsftpd-%1").arg(port);
    const QString configuration = dir_.filePath(QStringLiteral("vsftpd.conf"));
    if (!writeFile(QStringLiteral("/etc/pam.d/") + pamService_,
                   "auth required pam_permit.so\naccount required pam_permit.so\n") ||
        !writeFile(configuration, vsftpdConfiguration().arg(port).toUtf8())) {
        error_ = QStringLiteral("The configuration of vsftpd could not be written");
        return;
    }
    process_.start(kVsftpd, {configuration});
    process_.waitForStarted();
    const QDeadlineTimer deadline(kStartLimitMs);
    while (process_.state() == QProcess::Running && !deadline.hasExpired()) {
        if (greets(port, dir_.path())) {
            port_ = port;
            return;
        }
        process_.waitForFinished(100);  // ends early when vsftpd gives up
    }
    error_ = process_.state() == QProcess::Running
                 ? QStringLiteral("vsftpd did not greet at port %1").arg(port)
                 : QStringLiteral("vsftpd ended with status %1 without greeting at port %2")
                       .arg(process_.exitCode())
                       .arg(port);
}

QString FtpTestServer::vsftpdConfiguration() const {
    return QStringLiteral(
               "listen=YES\nlisten_address=127.0.0.1\nlisten_port=%1\nbackground=NO\n"
               "anonymous_enable=NO\nlocal_enable=YES\nwrite_enable=YES\nlocal_umask=022\n"
               "guest_enable=YES\nguest_username=ftp\nvirtual_use_local_privs=YES\n"
               "seccomp_sandbox=NO\nssl_enable=YES\nforce_local_logins_ssl=YES\n"
               "force_local_data_ssl=YES\nxferlog_enable=YES\nxferlog_std_format=NO\n"
               "log_ftp_protocol=YES\nlocal_root=%2\nsecure_chroot_dir=%3\npam_service_name=%4\n"
               "rsa_cert_file=%5\nrsa_private_key_file=%6\nvsftpd_log_file=%7\nftpd_banner=%8\n")
        .arg(QStringLiteral("%1"), root(), dir_.filePath(QStringLiteral("empty")), pamService_,
             certificate(), dir_.filePath(QStringLiteral("key.pem")),
             dir_.filePath(QStringLiteral("commands.log")), dir_.path());
}

FtpTestServer::~FtpTestServer() {
    process_.closeWriteChannel();
    if (vsftpd_)
        process_.terminate();
    if (!pamService_.isEmpty())
        QFile::remove(QStringLiteral("/etc/pam.d/") + pamService_);
    if (!process_.waitForFinished(5'000)) {
        process_.kill();
        process_.waitForFinished();
    }
}

transmission::FtpAccount FtpTestServer::account() const {
    return {QStringLiteral("127.0.0.1"), port_, user_, password_};
}

QString FtpTestServer::fingerprint() const {
    const QSslCertificate offered = QSslCertificate::fromPath(certificate()).value(0);
    return QStringLiteral("sha256:") +
           QString::fromLatin1(offered.digest(QCryptographicHash::Sha256).toHex());
}

void FtpTestServer::writeSettingsFile(const QString& path) const {
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(QStringLiteral("ftp/host"), QStringLiteral("127.0.0.1"));
    settings.setValue(QStringLiteral("ftp/port"), port_);
}

QList<QStringList> FtpTestServer::sessions() const {
    if (vsftpd_)
        return vsftpdSessions();
    QFile log(dir_.filePath(QStringLiteral("commands.log")));
    if (!log.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<QByteArray> clients;  // the client port of each connection, in order
    QList<QStringList> commands;
    QList<bool> closed;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QByteArray client = line.left(line.indexOf(' '));
        const QByteArray entry = line.mid(client.size() + 1);
        if (entry == "CONNECT") {
            clients.append(client);
            commands.append(QStringList());
            closed.append(false);
        } else if (const qsizetype session = clients.lastIndexOf(client); session >= 0) {
            if (entry == "DISCONNECT") {
                closed[session] = true;
            } else {
                commands[session].append(QString::fromUtf8(entry));
            }
        }
    }
    QList<QStringList> sessions;
    for (qsizetype i = 0; i < commands.size(); ++i) {
        if (closed.at(i)) {
            sessions.append(commands.at(i));
        }
    }
    return sessions;
}

// vsftpd logs a session's lines from more than one process, so they are told apart by their
// order alone: the tests' clients open one session at a time.
QList<QStringList> FtpTestServer::vsftpdSessions() const {
    static const QRegularExpression command(
        QStringLiteral("FTP command: Client \"[^\"]*\", \"(.*)\"$"));
    QList<QStringList> sessions;
    for (const QString& line :
         QString::fromUtf8(readFile(dir_.filePath(QStringLiteral("commands.log")))).split(u'\n')) {
        if (line.contains(QStringLiteral("] CONNECT: Client ")))
            sessions.append(QStringList());
        else if (const auto match = command.match(line); match.hasMatch() && !sessions.isEmpty())
            sessions.last().append(match.captured(1));
    }
    return sessions;
}

}  // namespace testsupport
