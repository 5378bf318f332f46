#include "settings.h"

#include "failure.h"

#include <QDir>
#include <QFile>

namespace platform {

namespace {

const QString kName = QStringLiteral("velkor");

QString readSetting(const QString& key) {
    return openSettings()->value(key).toString().trimmed();
}

}  // namespace

std::unique_ptr<QSettings> openSettings() {
    if (currentLayout().installed)
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kName,
                                           kName);
    return std::make_unique<QSettings>(settingsFilePath(), QSettings::IniFormat);
}

QString settingsFilePath() {
    return settingsFilePaths().constFirst();
}

QStringList settingsFilePaths(const Layout& layout) {
    if (!layout.installed)
        return {QDir(layout.workingFolder).absoluteFilePath(QStringLiteral("velkor.ini"))};
    return {QSettings(QSettings::IniFormat, QSettings::UserScope, kName, kName).fileName(),
            QSettings(QSettings::IniFormat, QSettings::SystemScope, kName, kName).fileName()};
}

void checkSettingsReadable() {
    for (const QString& path : settingsFilePaths()) {
        QFile file(path);
        if (file.exists() && !file.open(QIODevice::ReadOnly))
            throw Failure(QStringLiteral("A beállítások fájlja nem olvasható: %1 (%2)")
                              .arg(path, file.errorString()));
    }
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
