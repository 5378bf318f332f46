#pragma once

#include "layout.h"

#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace platform {

// The settings a user may change live in velkor.ini: in the portable layout in the program
// folder, which is the current folder while the program runs; in the installed layout in the
// user's ~/.config/velkor/velkor.ini over the machine's /etc/xdg/velkor/velkor.ini (see
// layout.h). A missing file or key gives the default.

// The settings of the layout in use, for reading and for storing: a value is read from the first
// file that has it and stored in the first file.
std::unique_ptr<QSettings> openSettings();

// The path of the settings file a change is stored in.
QString settingsFilePath();

// The settings files of a layout (by default the one in use), the one a change is stored in
// first.
QStringList settingsFilePaths(const Layout& layout = currentLayout());

// A Failure naming the file and the reason when a settings file exists but cannot be read.
void checkSettingsReadable();

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
    QString modeText;      // the value as written, for the message about an unknown one
    QString caFile;        // extra trusted certificates (PEM) beside the system's; empty for none
    QString certificate;   // the server certificate the user chose to trust, "sha256:<hex>"
    QString agreedServer;  // "host:port" of the server that once agreed to TLS; empty for none
};
FtpTlsSetting ftpTlsSetting();
// Keys of the group [ftp] that the program writes itself: the certificate the user chose to trust
// and the server that agreed to TLS.
inline constexpr char kFtpCertificateKey[] = "certificate";
inline constexpr char kFtpTlsAgreedKey[] = "tls_agreed";
// Keeps `key = value` in the group [ftp], leaving every other line of the file as it is; a
// FileFailure when the file cannot be written.
void storeFtpSetting(const QString& key, const QString& value);

// The folder that stands for the removable medium: key folder of the group [media]; empty when
// none is set.
QString mediaFolderSetting();

// The collecting organisation as the cover note's heading names it: keys name, address,
// postal_address and decree of the group [addressee], commas written as they are. A key that is
// absent or empty gives the text the program ships, the street and postal addresses and the
// decree citation of which are placeholders.
struct AddresseeSetting {
    QString name;
    QString address;
    QString postalAddress;
    QString decree;
};
AddresseeSetting addresseeSetting();
// The keys of [addressee] whose value is still the shipped placeholder.
QStringList addresseePlaceholders();
// That the cover notes would name the shipped placeholder addressee, naming the keys of
// [addressee] to fill in; nothing when none is left.
std::optional<QString> addresseePlaceholderWarning();

// The print queue the cover notes go to: key name of the group [printer]; empty when none is set,
// and the system's default printer is taken.
QString printerSetting();

// How many of the newest backups are kept besides the newest of each of the last months: key
// keep of the group [backup]; 10 when absent or not a whole number of at least 1.
int backupKeepSetting();

// The period check's plausibility limits, group [check]: an item's own price index outside
// index_low to index_high (50 and 200), a unit price differing from the previous quarter's by
// more than change per cent (50). A key that is not a number greater than zero gives its default.
struct PlausibilitySetting {
    double indexLow = 50;
    double indexHigh = 200;
    double change = 50;
};
PlausibilitySetting plausibilitySetting();

// Whether the main window shows the quarter's overview at start while the quarter is not sent:
// key at_start of the group [overview]; true unless it is false, no, off or 0.
bool overviewAtStartSetting();

}  // namespace platform
