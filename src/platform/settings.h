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

// How the upload is secured: keys tls, cafile and certificate of the group [ftp].
enum class FtpTls {
    Auto,      // TLS when the server offers it, plain otherwise (the default)
    Required,  // TLS or nothing
    Off,       // plain FTP only
    Unknown,   // a value that is none of the three
};
struct FtpTlsSetting {
    FtpTls mode = FtpTls::Auto;
    QString modeText;     // the value as written, for the message about an unknown one
    QString caFile;       // extra trusted certificates (PEM) beside the system's; empty for none
    QString certificate;  // the server certificate the user chose to trust, "sha256:<hex>"
};
FtpTlsSetting ftpTlsSetting();
// Keeps the trusted server certificate under the key certificate of the group [ftp], leaving
// every other line of the file as it is; false when the file cannot be written.
bool storeFtpCertificate(const QString& certificate);

// The folder that stands for the removable medium: key folder of the group [media]; empty when
// none is set.
QString mediaFolderSetting();

}  // namespace platform
