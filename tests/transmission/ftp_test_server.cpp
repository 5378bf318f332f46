#include "ftp_test_server.h"

#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSslCertificate>

namespace testsupport {

FtpTestServer::FtpTestServer(const QString& mode, const QString& user, const QString& password)
    : user_(user), password_(password) {
    QDir(dir_.path()).mkdir(QStringLiteral("root"));
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(VK_FTP_SERVER_SCRIPT), root(),
                    dir_.filePath(QStringLiteral("commands.log")), user, password, mode});
    while (!process_.canReadLine() && process_.waitForReadyRead(10'000)) {
    }
    const QByteArray line = process_.readLine().trimmed();
    if (line.startsWith("PORT ")) {
        port_ = line.mid(5).toUShort();
    } else {
        error_ = QStringLiteral("The FTP test server did not start: %1 %2")
                     .arg(QString::fromUtf8(line), process_.errorString());
    }
}

FtpTestServer::~FtpTestServer() {
    process_.closeWriteChannel();
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
    return QStringLiteral("sha256:") + offered.digest(QCryptographicHash::Sha256).toHex();
}

void FtpTestServer::writeSettingsFile() const {
    QSettings settings(platform::settingsFilePath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("ftp/host"), QStringLiteral("127.0.0.1"));
    settings.setValue(QStringLiteral("ftp/port"), port_);
}

QList<QStringList> FtpTestServer::sessions() const {
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

}  // namespace testsupport
