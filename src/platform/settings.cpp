#include "settings.h"

#include <QDir>
#include <QSettings>

namespace platform {

namespace {

QString readSetting(const QString& key) {
    const QSettings settings(settingsFilePath(), QSettings::IniFormat);
    return settings.value(key).toString().trimmed();
}

}  // namespace

QString settingsFilePath() {
    return QDir::current().absoluteFilePath(QStringLiteral("velkor.ini"));
}

FtpServerSetting ftpServerSetting() {
    FtpServerSetting server;
    server.host = readSetting(QStringLiteral("ftp/host"));
    const QString text = readSetting(QStringLiteral("ftp/port"));
    if (text.isEmpty())
        return server;
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (ok && port > 0 && port <= 65535)
        server.port = static_cast<quint16>(port);
    else
        server.invalidPort = text;
    return server;
}

QString mediaFolderSetting() {
    return readSetting(QStringLiteral("media/folder"));
}

}  // namespace platform
