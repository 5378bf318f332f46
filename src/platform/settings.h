#pragma once

#include <QString>

namespace platform {

// The settings a user may change live in velkor.ini in the program folder, which is the current
// folder while the program runs. A missing file or key gives the default.

// The path of the settings file.
QString settingsFilePath();

// The FTP server the report files are uploaded to: keys host and port of the group [ftp]. The
// host is empty when none is set; the port is 21 when absent or not a valid port.
struct FtpServerSetting {
    QString host;
    quint16 port = 21;
};
FtpServerSetting ftpServerSetting();

// The folder that stands for the removable medium: key folder of the group [media]; empty when
// none is set.
QString mediaFolderSetting();

// How many of the newest backups are kept besides the newest of each of the last months: key
// keep of the group [backup]; 10 when absent or not a whole number of at least 1.
int backupKeepSetting();

}  // namespace platform
