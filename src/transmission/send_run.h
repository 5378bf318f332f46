#pragma once

#include "transmission/ftp_client.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace transmission {

class ArchiveChecksums;

// What a send run tells whoever started it: the send window, the command line, a test.
class SendRunObserver {
public:
    virtual ~SendRunObserver() = default;
    virtual void logLine(const QString& line) = 0;
    // Once per file when its data transfer starts, with the bytes to send.
    virtual void transferStarted(qint64 total) { (void)total; }
    // After each block, with the bytes sent so far.
    virtual void transferred(qint64 sent) { (void)sent; }
    // The client is about to wait for the server: a good moment to show what was told.
    virtual void aboutToWait() {}
    // Asks whether to trust a server certificate that does not verify. Empty where no one can be
    // asked: such a certificate then fails the connection, its fingerprint named in the reason.
    virtual CertificateQuestion certificateQuestion() { return {}; }
};

// The send run: every report file of the period is compressed, uploaded over an FTP connection
// of its own and archived in kuldes/yyyyMMdd_hh_mm/ with the checksum list, each step logged.
class SendRun {
public:
    // Report files of any other period than year and quarter are left alone. The clock gives
    // the time stamp of the archive folder.
    SendRun(QString year, QString quarter, SendRunObserver& observer,
            FtpAccount account = collectingServerAccount(), FtpTimeouts timeouts = {},
            std::function<QDateTime()> clock = &QDateTime::currentDateTime);
    ~SendRun();
    SendRun(const SendRun&) = delete;
    SendRun& operator=(const SendRun&) = delete;

    // The data files, then the cover notes, each compressed and sent. A file that cannot be
    // compressed ends the run there with its Failure; every other failure is logged and the
    // run goes on with the next file.
    void run();
    // Stops the run: the file being sent and every later one are logged as not sent. Called
    // while the client waits, from an event handler.
    void stop();

    bool failed() const { return failed_; }
    // Whether the period had any report file to send.
    bool hadFiles() const { return !lastPath_.isEmpty(); }
    const QString& archiveFolder() const { return archiveFolder_; }
    // What ends a finished run: "Sikeres küldés! …" naming the last cover note, or the failure.
    QString closingMessage() const;

private:
    // Uploads one compressed file and archives it with its text file; every failure is logged
    // with its reason and fails the run.
    void sendFile(const QString& path);
    // Moves the compressed file into the archive folder and copies its text file beside it; a
    // file not archived is a Failure saying why. The checksum list follows.
    void archive(const QString& path);
    void writeChecksums();
    void tellIfUnencrypted();
    // Keeps a TLS key of [ftp] in the settings file; one that cannot be written is told in the
    // log with what it costs. The client holds to it for the rest of the run all the same.
    void keepSetting(const char* key, const QString& value, const QString& lost);
    void logFailure(const QString& line, const QString& reason);

    QString year_;
    QString quarter_;
    SendRunObserver& observer_;
    FtpClient client_;
    std::function<QDateTime()> clock_;
    QString archiveFolder_;
    QString lastPath_;
    bool failed_ = false;
    std::unique_ptr<ArchiveChecksums> checksums_;
    // Why the checksum list as it stands is not the last one; nothing when it is.
    std::optional<QString> checksumsFailure_;
    // Why every later file of the run fails at once: the server did not answer in time, refused
    // the login, or the user stopped the run. Files after a failed login are logged as not
    // connected, with its reason unless it was a time-out; files after a stop or a failed upload
    // as failed, with its reason.
    struct RunStop {
        bool failedLine;
        QString reason;
    };
    std::optional<RunStop> runStop_;
    bool unencryptedTold_ = false;
};

}  // namespace transmission
