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
    bool ok = false;
    const uint port = readSetting(QStringLiteral("ftp/port")).toUInt(&ok);
    if (ok && port > 0 && port <= 65535)
        server.port = static_cast<quint16>(port);
    return server;
}

QString mediaFolderSetting() {
    return readSetting(QStringLiteral("media/folder"));
}

int backupKeepSetting() {
    bool ok = false;
    const int keep = readSetting(QStringLiteral("backup/keep")).toInt(&ok);
    return ok && keep >= 1 ? keep : 10;
}

}  // namespace platform
