#pragma once

#include "platform/pending.h"

#include <QDateTime>
#include <QDialog>

#include <functional>

class QListWidget;
class QProgressBar;
class QPushButton;

namespace transmission {
class FtpClient;
}

// The send window. Creating it runs the send run: every report file of the last save run is
// compressed, uploaded over an FTP connection of its own and archived in kuldes/yyyyMMdd_hh_mm/,
// each step logged; a closing message tells whether everything went. Shown afterwards, it offers
// to print the cover notes or to close without printing.
class TFormKuldes : public QDialog {
    Q_OBJECT
public:
    // The clock gives the time stamp of the archive folder.
    explicit TFormKuldes(QWidget* parent = nullptr,
                         std::function<QDateTime()> clock = &QDateTime::currentDateTime);

    // The period of the cover notes the print button offers.
    void SetPeriod(const QString& year, const QString& quarter);

    QListWidget* ListBox_FTPLog = nullptr;
    QPushButton* Button_nyomtatas = nullptr;
    QPushButton* Button_kilepes = nullptr;
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

private:
    void createControls();
    void Start();
    // The run: the data files, then the cover notes, each compressed and sent; the closing
    // message; then the buttons in place of the progress bar.
    void SendAll();
    // Uploads one compressed file and archives it with its text file; every failure is logged
    // and sets SendFailed.
    void SendFile(const QString& path);
    // Moves the compressed file into the archive folder, copies its text file beside it and
    // rewrites the folder's checksum list; false when the copy or the list failed.
    bool archive(const QString& path);
    void logLine(const QString& line);

    std::function<QDateTime()> clock_;
    platform::PendingDrawing drawing_;
};
