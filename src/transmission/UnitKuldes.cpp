#include "UnitKuldes.h"

#include "export/common.h"
#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/pending.h"
#include "platform/whole_file.h"
#include "platform/widgets/guide.h"
#include "platform/widgets/window_placement.h"
#include "transmission/archive_checksums.h"
#include "transmission/compress_file.h"
#include "transmission/ftp_client.h"
#include "transmission/lap1nyom.h"
#include "transmission/move_file.h"
#include "transmission/report_period.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <climits>

namespace {

// What each pass sends, in this order: the data files, then the cover notes.
struct Pass {
    QString folder;
    QString pattern;
};

// The gauge counts in int; report files are far smaller than that.
int gaugeValue(qint64 bytes) {
    return static_cast<int>(std::min<qint64>(bytes, INT_MAX));
}

// Copies the whole file through a temporary file (platform::writeWhole), so that a copy stands
// whole or not at all; the bytes copied, or the reason it failed.
struct Copy {
    QByteArray bytes;
    QString failure;
};

Copy copyReplacing(const QString& from, const QString& to) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return {{}, from + QStringLiteral(": ") + source.errorString()};
    Copy copy{source.readAll(), {}};
    if (source.error() != QFileDevice::NoError) {
        copy.failure = from + QStringLiteral(": ") + source.errorString();
        return copy;
    }
    try {
        platform::writeWhole(to, {copy.bytes.constData(), static_cast<size_t>(copy.bytes.size())});
    } catch (const platform::FileFailure& failure) {
        copy.failure = to + QStringLiteral(": ") + failure.reason();
    }
    return copy;
}

QString textPathOf(const QString& compressedPath) {
    return compressedPath.chopped(4) + QStringLiteral(".txt");
}

}  // namespace

TFormKuldes::TFormKuldes(QWidget* parent, const QString& year, const QString& quarter,
                         std::function<QDateTime()> clock, transmission::FtpTimeouts timeouts)
    : QDialog(parent), clock_(std::move(clock)), timeouts_(timeouts) {
    setObjectName(QStringLiteral("FormKuldes"));
    platform::addGuideKey(this, QStringLiteral("kuldes"));
    setWindowTitle(QStringLiteral("Küldés"));
    // Where Tahoma is missing, a sans-serif of like width keeps the print button's caption
    // within the button.
    QFont font(QStringLiteral("Tahoma"), 8);
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans")});
    setFont(font);
    setFixedSize(468, 242);
    createControls();
    SetPeriod(year, quarter);
    platform::centreOnScreen(this);
    Start();
}

TFormKuldes::~TFormKuldes() = default;

void TFormKuldes::createControls() {
    ListBox_FTPLog = new QListWidget(this);
    ListBox_FTPLog->setObjectName(QStringLiteral("ListBox_FTPLog"));
    ListBox_FTPLog->setGeometry(0, 0, 457, 137);
    // One line each: the list need not measure every line again as thousands are added.
    ListBox_FTPLog->setUniformItemSizes(true);
    Button_nyomtatas = new QPushButton(this);
    Button_nyomtatas->setObjectName(QStringLiteral("Button_nyomtatas"));
    Button_nyomtatas->setGeometry(8, 150, 201, 25);
    Button_kilepes = new QPushButton(QStringLiteral("Kilépés nyomtatás nélkül"), this);
    Button_kilepes->setObjectName(QStringLiteral("Button_kilepes"));
    Button_kilepes->setGeometry(248, 150, 201, 25);
    for (auto* button : {Button_nyomtatas, Button_kilepes}) {
        button->setAutoDefault(false);
        button->hide();
    }
    connect(Button_nyomtatas, &QPushButton::clicked, this, &TFormKuldes::Button_nyomtatasClick);
    connect(Button_kilepes, &QPushButton::clicked, this, &TFormKuldes::Button_kilepesClick);
    // Shown while the run goes on, where "Kilépés nyomtatás nélkül" comes afterwards.
    Button_megszakitas = new QPushButton(QStringLiteral("Megszakítás"), this);
    Button_megszakitas->setObjectName(QStringLiteral("Button_megszakitas"));
    Button_megszakitas->setGeometry(248, 150, 201, 25);
    Button_megszakitas->setAutoDefault(false);
    connect(Button_megszakitas, &QPushButton::clicked, this, &TFormKuldes::Button_megszakitasClick);
    Gauge_SendStatus = new QProgressBar(this);
    Gauge_SendStatus->setObjectName(QStringLiteral("Gauge_SendStatus"));
    Gauge_SendStatus->setGeometry(0, 219, 457, 23);
    Gauge_SendStatus->setValue(0);
    Gauge_SendStatus->setFormat(QStringLiteral("%p%"));
    IdFTP_Send =
        new transmission::FtpClient(transmission::collectingServerAccount(), timeouts_, this);
    connect(IdFTP_Send, &transmission::FtpClient::workBegin, this,
            &TFormKuldes::IdFTP_SendWorkBegin);
    connect(IdFTP_Send, &transmission::FtpClient::work, this, &TFormKuldes::IdFTP_SendWork);
    // A server that agreed to TLS once is not believed later when it refuses.
    connect(IdFTP_Send, &transmission::FtpClient::tlsAgreed, this, [](const QString& server) {
        try {
            platform::storeFtpSetting(QLatin1String(platform::kFtpTlsAgreedKey), server);
        } catch (const platform::FileFailure&) {
            // Not remembered, the agreement is only not held against the server's next refusal.
        }
    });
    IdFTP_Send->setCertificateQuestion([](const QString& question) {
        // Trusting by mistake pins the certificate: Enter answers No.
        return platform::showConfirmation(question, {platform::Button::Yes, platform::Button::No},
                                          platform::Button::No) == platform::Button::Yes;
    });
    // What the log and the gauge show is on screen while the client waits for the server.
    connect(IdFTP_Send, &transmission::FtpClient::aboutToWait, this,
            [this] { drawing_.draw(true); });
}

// The run takes place while the window is created; the window shows its log and progress
// meanwhile, and is shown again, modally, by the caller once the run has ended. A file that
// cannot be compressed ends the run with the error box: the log so far stays, the buttons stay
// hidden.
void TFormKuldes::Start() {
    setModal(true);
    show();
    running_ = true;
    platform::runCommand([this] { SendAll(); });
    running_ = false;
    Button_megszakitas->hide();
    hide();
}

// Stops the run: the file being sent and every later one are logged as not sent, and the run ends
// with its failure message.
void TFormKuldes::Button_megszakitasClick() {
    IdFTP_Send->stop();
}

// Esc and the window's own close control stop a run that goes on, and only then close.
void TFormKuldes::reject() {
    if (running_)
        Button_megszakitasClick();
    else
        QDialog::reject();
}

void TFormKuldes::closeEvent(QCloseEvent* event) {
    if (!running_)
        return QDialog::closeEvent(event);
    Button_megszakitasClick();
    event->ignore();
}

void TFormKuldes::SendAll() {
    SendFailed = false;
    runStop_.reset();
    unencryptedTold_ = false;
    ArchiveFolder =
        QStringLiteral("kuldes/") + clock_().toString(QStringLiteral("yyyyMMdd_hh_mm")) + u'/';
    // A folder left by a run of the same minute serves again, its checksum list with it.
    QDir().mkdir(ArchiveFolder);
    checksums_ = std::make_unique<transmission::ArchiveChecksums>(ArchiveFolder);
    checksumsFailure_.clear();

    const Pass passes[] = {{exporting::kTextFolder, QStringLiteral("*_BI.txt")},
                           {exporting::kTextFolder, QStringLiteral("*_BR.txt")},
                           {exporting::kCoverNoteFolder, QStringLiteral("*_KJ.txt")}};
    QString path;
    for (const Pass& pass : passes) {
        for (const QString& name : exporting::entriesOf(pass.folder, pass.pattern)) {
            if (!transmission::isOfPeriod(name, PeriodYear, PeriodQuarter)) {
                logLine(transmission::notOfPeriod(name, PeriodYear, PeriodQuarter,
                                                  QStringLiteral("nincs elküldve")));
                continue;
            }
            path = pass.folder + name;
            transmission::CompressFile(path);
            SendFile(transmission::compressedPath(path));
        }
    }
    // The files went to the server all the same: a list that could not be written is told once.
    if (!checksumsFailure_.isEmpty()) {
        logLine(QStringLiteral("Az archívum ellenőrzőlistája (%1%2) nem írható: %3")
                    .arg(ArchiveFolder, QString::fromLatin1(transmission::kChecksumFileName),
                         checksumsFailure_));
    }

    if (SendFailed) {
        platform::showMessage(QStringLiteral(
            "Hiba történt a küldés folyamán! Kérem ellenőrizze, hogy a gép kapcsolódik-e az "
            "internethez, és próbálja meg újra elküldeni!"));
    } else {
        platform::showMessage(QStringLiteral("Sikeres küldés! Amennyiben van rá módja, nyomtassa "
                                             "ki most a kisérőjegyzéket, ha nincs, tegye ezt meg "
                                             "később a ") +
                              path + QStringLiteral(" file-ból!"));
    }
    Button_nyomtatas->setEnabled(!SendFailed);
    Gauge_SendStatus->hide();
    Button_megszakitas->hide();
    Button_nyomtatas->show();
    Button_kilepes->show();
}

// One connection per file: connect and log in, upload, archive, disconnect. A file that fails
// is logged with its reason and the run goes on with the next one. Once the server did not
// answer in time or refused the login, every later file fails at once: it is not waited for
// again, and it may lock out an address that keeps logging in.
void TFormKuldes::SendFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const QString noConnection =
        name + QStringLiteral(
                   ": Nem sikerült felvenni a kapcsolatot az FTP szerverrel. "
                   "Próbálja újra!");
    const QString failed = name + QStringLiteral(": Sikertelen küldés. Próbálja újra!");
    logLine(name + QStringLiteral(": Kapcsolódás ..."));
    if (runStop_) {
        logFailure(runStop_->failedLine ? failed : noConnection, runStop_->reason);
        return;
    }
    try {
        IdFTP_Send->Connect();
    } catch (const transmission::FtpFailure& failure) {
        logFailure(noConnection, failure.reason());
        if (failure.fault() == transmission::FtpFault::TimedOut)
            runStop_ = RunStop{false, {}};
        else if (failure.fault() != transmission::FtpFault::FileOnly)
            runStop_ = RunStop{true, failure.reason()};
        return;
    } catch (const platform::Failure& failure) {
        logFailure(noConnection, failure.text());
        return;
    }
    tellIfUnencrypted();
    logLine(name + QStringLiteral(": Adatküldés ..."));
    QString failure;
    try {
        IdFTP_Send->Put(path, name);
        logLine(name + QStringLiteral(": Küldés rendben."));
        failure = archive(path);
    } catch (const transmission::FtpFailure& error) {
        failure = error.reason();
        if (error.timedOut() || error.fault() == transmission::FtpFault::Stopped)
            runStop_ = RunStop{true, failure};
    } catch (const platform::Failure& error) {
        failure = error.text();
    }
    if (!failure.isEmpty())
        logFailure(failed, failure);
    try {
        IdFTP_Send->Disconnect();
    } catch (const platform::Failure& error) {
        logFailure(noConnection, transmission::reasonOf(error));
    }
}

// Once per run, as the password and the files went in clear.
void TFormKuldes::tellIfUnencrypted() {
    const QString& reason = IdFTP_Send->unencryptedReason();
    if (unencryptedTold_ || reason.isEmpty())
        return;
    unencryptedTold_ = true;
    logLine(QStringLiteral("  Figyelem: a kapcsolat nem titkosított, a jelszó és az állományok "
                           "olvashatóan mennek át (%1).")
                .arg(reason));
}

QString TFormKuldes::archive(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const QString archived = ArchiveFolder + name;
    // A run of the same minute replaces what an earlier one archived under the same name, so the
    // folder holds exactly what was sent last; a move that fails leaves the compressed file where
    // it was written, for the next compression to replace.
    const QString moveFailure = transmission::moveReplacing(path, archived);
    if (moveFailure.isEmpty())
        checksums_->add(name);
    const Copy copy = copyReplacing(textPathOf(path), textPathOf(archived));
    if (copy.failure.isEmpty())
        checksums_->add(textPathOf(name), copy.bytes);
    // After every file archived, so that the list covers what the folder holds.
    if (moveFailure.isEmpty() || copy.failure.isEmpty())
        checksumsFailure_ = checksums_->write();
    if (!moveFailure.isEmpty())
        return QStringLiteral("a tömörített állomány nem került az archívumba (%1): %2")
            .arg(archived, moveFailure);
    if (!copy.failure.isEmpty())
        return QStringLiteral("az archív másolat nem készült el: ") + copy.failure;
    return {};
}

void TFormKuldes::logLine(const QString& line) {
    ListBox_FTPLog->addItem(line);
    ListBox_FTPLog->scrollToBottom();
    drawing_.draw();
}

// The failure line, then its reason, where there is one, on a line of its own.
void TFormKuldes::logFailure(const QString& line, const QString& reason) {
    logLine(line);
    if (!reason.isEmpty())
        logLine(QStringLiteral("  Ok: ") + reason);
    SendFailed = true;
}

void TFormKuldes::SetPeriod(const QString& year, const QString& quarter) {
    PeriodYear = year;
    PeriodQuarter = quarter;
    Button_nyomtatas->setText(
        QStringLiteral("Kisérőjegyzék nyomtatása (%1 - %2)").arg(year, quarter));
}

void TFormKuldes::IdFTP_SendWorkBegin(qint64 total) {
    Gauge_SendStatus->setMaximum(gaugeValue(total));
    Gauge_SendStatus->setValue(0);
}

void TFormKuldes::IdFTP_SendWork(qint64 count) {
    Gauge_SendStatus->setValue(gaugeValue(count));
    drawing_.draw();
}

// The printing window does its work while it is created: every cover note of kuldes/temp/.
void TFormKuldes::Button_nyomtatasClick() {
    platform::runCommand([this] {
        TLap1nyom_Form printing(
            this, [this](const QString& line) { logLine(line); }, PeriodYear, PeriodQuarter);
        close();
    });
}

void TFormKuldes::Button_kilepesClick() {
    close();
}
