#pragma once

#include <QString>

namespace platform {

// The settings a user may change live in velkor.ini in the program folder, which is the current
// folder while the program runs. A missing file or key gives the default.

// The path of the settings file.
QString settingsFilePath();

// The FTP server the report files are uploaded to: keys host and port of the group [ftp]. The
// host is empty when none is set; the port is 21 when absent. A value that is not a port from 1
// to 65535 stays in invalidPort (null otherwise), for the upload to report.
struct FtpServerSetting {
    QString host;
    quint16 port = 21;
    QString invalidPort;
};
FtpServerSetting ftpServerSetting();

// The folder that stands for the removable medium: key folder of the group [media]; empty when
// none is set.
QString mediaFolderSetting();

}  // namespace platform
