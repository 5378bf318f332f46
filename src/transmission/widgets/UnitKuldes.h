#pragma once

#include "platform/pending.h"
#include "transmission/ftp_client.h"
#include "transmission/send_run.h"

#include <QDateTime>
#include <QDialog>

#include <functional>
#include <memory>

class QCloseEvent;
class QListWidget;
class QProgressBar;
class QPushButton;

// The send window. Creating it runs the send run (transmission::SendRun), showing its log and
// progress; a closing message tells whether everything went. Shown afterwards, it offers to print
// the cover notes or to close without printing.
class TFormKuldes : public QDialog, private transmission::SendRunObserver {
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

    QString PeriodYear;
    QString PeriodQuarter;
    QString ArchiveFolder;
    bool SendFailed = false;

public Q_SLOTS:
    void Button_nyomtatasClick();
    void Button_kilepesClick();
    void Button_megszakitasClick();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void Start();
    // The run, then the closing message; then the buttons in place of the progress bar.
    void SendAll();

    // What the run tells.
    void logLine(const QString& line) override;
    void transferStarted(qint64 total) override;
    void transferred(qint64 sent) override;
    void aboutToWait() override;
    transmission::CertificateQuestion certificateQuestion() override;

    std::function<QDateTime()> clock_;
    transmission::FtpTimeouts timeouts_;
    platform::PendingDrawing drawing_;
    std::unique_ptr<transmission::SendRun> run_;
    bool running_ = false;
};
