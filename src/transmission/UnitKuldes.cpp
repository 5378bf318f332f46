#include "UnitKuldes.h"

#include "export/common.h"
#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/pending.h"
#include "platform/window_placement.h"
#include "transmission/archive_checksums.h"
#include "transmission/compress_file.h"
#include "transmission/ftp_client.h"
#include "transmission/lap1nyom.h"

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

// Copies the whole file, creating or replacing the copy in place: unlike QFile::copy, no
// temporary file is created and renamed, which halves the file creations of the archiving.
bool copyReplacing(const QString& from, const QString& to) {
    QFile source(from);
    QFile copy(to);
    if (!source.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = source.readAll();
    return source.error() == QFileDevice::NoError && copy.write(bytes) == bytes.size() &&
           copy.flush();
}

QString textPathOf(const QString& compressedPath) {
    return compressedPath.chopped(4) + QStringLiteral(".txt");
}

}  // namespace

TFormKuldes::TFormKuldes(QWidget* parent, std::function<QDateTime()> clock)
    : QDialog(parent), clock_(std::move(clock)) {
    setObjectName(QStringLiteral("FormKuldes"));
    setWindowTitle(QStringLiteral("Küldés"));
    // Where Tahoma is missing, a sans-serif of like width keeps the print button's caption
    // within the button.
    QFont font(QStringLiteral("Tahoma"), 8);
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans")});
    setFont(font);
    setFixedSize(468, 242);
    createControls();
    platform::centreOnScreen(this);
    Start();
}

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
    Gauge_SendStatus = new QProgressBar(this);
    Gauge_SendStatus->setObjectName(QStringLiteral("Gauge_SendStatus"));
    Gauge_SendStatus->setGeometry(0, 219, 457, 23);
    Gauge_SendStatus->setValue(0);
    Gauge_SendStatus->setFormat(QStringLiteral("%p%"));
    IdFTP_Send = new transmission::FtpClient(transmission::collectingServerAccount(), {}, this);
    connect(IdFTP_Send, &transmission::FtpClient::workBegin, this,
            &TFormKuldes::IdFTP_SendWorkBegin);
    connect(IdFTP_Send, &transmission::FtpClient::work, this, &TFormKuldes::IdFTP_SendWork);
    IdFTP_Send->setCertificateQuestion([](const QString& question) {
        return platform::showConfirmation(question,
                                          {platform::Button::Yes, platform::Button::No}) ==
               platform::Button::Yes;
    });
}

// The run takes place while the window is created; the window shows its log and progress
// meanwhile, and is shown again, modally, by the caller once the run has ended. A file that
// cannot be compressed ends the run with the error box: the log so far stays, the buttons stay
// hidden.
void TFormKuldes::Start() {
    setModal(true);
    show();
    platform::runCommand([this] { SendAll(); });
    hide();
}

void TFormKuldes::SendAll() {
    SendFailed = false;
    ArchiveFolder =
        QStringLiteral("kuldes/") + clock_().toString(QStringLiteral("yyyyMMdd_hh_mm")) + u'/';
    // A folder left by a run of the same minute serves again.
    QDir().mkdir(ArchiveFolder);

    const Pass passes[] = {{exporting::kTextFolder, QStringLiteral("*_BI.txt")},
                           {exporting::kTextFolder, QStringLiteral("*_BR.txt")},
                           {exporting::kCoverNoteFolder, QStringLiteral("*_KJ.txt")}};
    QString path;
    for (const Pass& pass : passes) {
        for (const QString& name : exporting::entriesOf(pass.folder, pass.pattern)) {
            path = pass.folder + name;
            transmission::CompressFile(path);
            SendFile(transmission::compressedPath(path));
        }
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
    Button_nyomtatas->show();
    Button_kilepes->show();
}

// One connection per file: connect and log in, upload, archive, disconnect. A file that fails
// is logged and the run goes on with the next one.
void TFormKuldes::SendFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const QString noConnection =
        name + QStringLiteral(
                   ": Nem sikerült felvenni a kapcsolatot az FTP szerverrel. "
                   "Próbálja újra!");
    logLine(name + QStringLiteral(": Kapcsolódás ..."));
    try {
        IdFTP_Send->Connect();
    } catch (const platform::Failure&) {
        logLine(noConnection);
        SendFailed = true;
        return;
    }
    logLine(name + QStringLiteral(": Adatküldés ..."));
    bool sent = false;
    try {
        IdFTP_Send->Put(path, name);
        sent = true;
    } catch (const platform::Failure&) {
        // The file's failure line follows.
    }
    if (sent)
        logLine(name + QStringLiteral(": Küldés rendben."));
    if (!sent || !archive(path)) {
        logLine(name + QStringLiteral(": Sikertelen küldés. Próbálja újra!"));
        SendFailed = true;
    }
    try {
        IdFTP_Send->Disconnect();
    } catch (const platform::Failure&) {
        logLine(noConnection);
        SendFailed = true;
    }
}

bool TFormKuldes::archive(const QString& path) {
    const QString archived = ArchiveFolder + QFileInfo(path).fileName();
    // A failed move (a file of that name already archived) goes unreported: the compressed file
    // stays where it was written, and the next compression replaces it.
    QFile::rename(path, archived);
    // The checksum list follows every file archived, so it always covers what the folder holds.
    return copyReplacing(textPathOf(path), textPathOf(archived)) &&
           transmission::writeChecksums(ArchiveFolder);
}

void TFormKuldes::logLine(const QString& line) {
    ListBox_FTPLog->addItem(line);
    ListBox_FTPLog->scrollToBottom();
    drawing_.draw();
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
        TLap1nyom_Form printing(this);
        close();
    });
}

void TFormKuldes::Button_kilepesClick() {
    close();
}
