#pragma once

#include "platform/pending.h"
#include "transmission/ftp_client.h"

#include <QDateTime>
#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

class QCloseEvent;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace transmission {
class ArchiveChecksums;
}

// The send window. Creating it runs the send run: every report file of the period is
// compressed, uploaded over an FTP connection of its own and archived in kuldes/yyyyMMdd_hh_mm/,
// each step logged; a closing message tells whether everything went. Shown afterwards, it offers
// to print the cover notes or to close without printing.
class TFormKuldes : public QDialog {
    Q_OBJECT
public:
    // The period is that of the last save run; report files of any other period are left alone.
    // The clock gives the time stamp of the archive folder.
    TFormKuldes(QWidget* parent, const QString& year, const QString& quarter,
                std::function<QDateTime()> clock = &QDateTime::currentDateTime,
                transmission::FtpTimeouts timeouts = {});
    ~TFormKuldes() override;

    // The period of the cover notes the print button offers.
    void SetPeriod(const QString& year, const QString& quarter);

    QListWidget* ListBox_FTPLog = nullptr;
    QPushButton* Button_nyomtatas = nullptr;
    QPushButton* Button_kilepes = nullptr;
    QPushButton* Button_megszakitas = nullptr;
    QProgressBar* Gauge_SendStatus = nullptr;
    transmission::FtpClient* IdFTP_Send = nullptr;

    QString PeriodYear;
    QString PeriodQuarter;
    QString ArchiveFolder;
    bool SendFailed = false;

public Q_SLOTS:
    void IdFTP_SendWorkBegin(qint64 total);
    void IdFTP_SendWork(qint64 count);
    void Button_nyomtatasClick();
    void Button_kilepesClick();
    void Button_megszakitasClick();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void Start();
    // The run: the data files, then the cover notes, each compressed and sent; the closing
    // message; then the buttons in place of the progress bar.
    void SendAll();
    // Uploads one compressed file and archives it with its text file; every failure is logged
    // with its reason and sets SendFailed.
    void SendFile(const QString& path);
    // Moves the compressed file into the archive folder and copies its text file beside it;
    // empty when archived, otherwise the reason. The checksum list follows.
    QString archive(const QString& path);
    void tellIfUnencrypted();
    void logLine(const QString& line);
    void logFailure(const QString& line, const QString& reason);

    std::function<QDateTime()> clock_;
    transmission::FtpTimeouts timeouts_;
    platform::PendingDrawing drawing_;
    std::unique_ptr<transmission::ArchiveChecksums> checksums_;
    // Why the checksum list as it stands is not the last one; empty when it is.
    QString checksumsFailure_;
    // Why every later file of the run fails at once: the server did not answer in time, or
    // refused the login. Files after a time-out while connecting are logged as not connected,
    // without the reason again; the others as failed, with it.
    struct RunStop {
        bool failedLine;
        QString reason;
    };
    std::optional<RunStop> runStop_;
    bool unencryptedTold_ = false;
    bool running_ = false;
};
