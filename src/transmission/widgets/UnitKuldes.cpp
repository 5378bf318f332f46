#include "UnitKuldes.h"

#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/widgets/guide.h"
#include "platform/widgets/window_placement.h"
#include "transmission/widgets/lap1nyom.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <climits>

namespace {

// The gauge counts in int; report files are far smaller than that.
int gaugeValue(qint64 bytes) {
    return static_cast<int>(std::min<qint64>(bytes, INT_MAX));
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
    if (run_)
        run_->stop();
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
    transmission::SendRunObserver& observer = *this;
    run_ = std::make_unique<transmission::SendRun>(PeriodYear, PeriodQuarter, observer,
                                                   transmission::collectingServerAccount(),
                                                   timeouts_, clock_);
    run_->run();
    SendFailed = run_->failed();
    ArchiveFolder = run_->archiveFolder();
    platform::showMessage(run_->closingMessage());
    Button_nyomtatas->setEnabled(!SendFailed);
    Gauge_SendStatus->hide();
    Button_megszakitas->hide();
    Button_nyomtatas->show();
    Button_kilepes->show();
}

void TFormKuldes::logLine(const QString& line) {
    ListBox_FTPLog->addItem(line);
    ListBox_FTPLog->scrollToBottom();
    drawing_.draw();
}

void TFormKuldes::transferStarted(qint64 total) {
    Gauge_SendStatus->setMaximum(gaugeValue(total));
    Gauge_SendStatus->setValue(0);
}

void TFormKuldes::transferred(qint64 sent) {
    Gauge_SendStatus->setValue(gaugeValue(sent));
    drawing_.draw();
}

// What the log and the gauge show is on screen while the client waits for the server.
void TFormKuldes::aboutToWait() {
    drawing_.draw(true);
}

transmission::CertificateQuestion TFormKuldes::certificateQuestion() {
    return [](const QString& question) {
        // Trusting by mistake pins the certificate: Enter answers No.
        return platform::showConfirmation(question, {platform::Button::Yes, platform::Button::No},
                                          platform::Button::No) == platform::Button::Yes;
    };
}

void TFormKuldes::SetPeriod(const QString& year, const QString& quarter) {
    PeriodYear = year;
    PeriodQuarter = quarter;
    Button_nyomtatas->setText(
        QStringLiteral("Kisérőjegyzék nyomtatása (%1 - %2)").arg(year, quarter));
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
