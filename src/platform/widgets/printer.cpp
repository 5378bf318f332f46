#include "platform/widgets/printer.h"

#include "platform/failure.h"
#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopeGuard>

#include <cups/cups.h>

namespace platform {

namespace {

// Every job is laid out on the page this far in from each edge: the part of a sheet that
// printers commonly cannot print on.
constexpr qreal kMarginMm = 10;

QFont monospaced(QFont font) {
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (QFontInfo(font).fixedPitch())
        return font;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(font.pointSizeF());
    return fixed;
}

// A PDF device on the page size the job is printed on.
std::unique_ptr<QPrinter> pdfDevice(const QPageSize& pageSize, const QString& file,
                                    const QString& title) {
    auto device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    device->setOutputFormat(QPrinter::PdfFormat);
    device->setOutputFileName(file);
    device->setPageSize(pageSize.isValid() ? pageSize : QPageSize(QPageSize::A4));
    device->setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                           QPageLayout::Millimeter);
    device->setDocName(title);
    return device;
}

QString cupsOption(const cups_dest_t& queue, const char* name) {
    return QString::fromUtf8(cupsGetOption(name, queue.num_options, queue.options));
}

// The printer's own words on its state, in brackets; nothing when it gives none.
QString stateMessage(const cups_dest_t& queue) {
    const QString message = cupsOption(queue, "printer-state-message");
    return message.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(message);
}

// The queue the jobs go to: the one the settings name, else the system's default. None, a
// missing one, a stopped one or one that refuses jobs is a Failure that says what to do.
QString checkedQueue() {
    const QString named = printerSetting();
    const QByteArray name = named.toLocal8Bit();
    cups_dest_t* queue =
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, named.isEmpty() ? nullptr : name.constData(), nullptr);
    if (queue == nullptr && named.isEmpty())
        throw Failure(QStringLiteral(
            "Nincs kiválasztott nyomtató, ezért a nyomtatás nem indult el. Alapértelmezett "
            "nyomtatót a rendszergazda választhat minden felhasználónak (lpadmin -d NYOMTATÓ), "
            "a felhasználó magának (lpoptions -d NYOMTATÓ); vagy adja meg a nyomtató nevét a "
            "velkor.ini [printer] csoportjának name kulcsában."));
    if (queue == nullptr)
        throw Failure(QStringLiteral("A velkor.ini [printer] name beállításában megadott %1 "
                                     "nyomtató nem található. A nyomtatók nevét az lpstat -p "
                                     "parancs sorolja fel; javítsa a beállítást, vagy törölje, "
                                     "és az alapértelmezett nyomtató nyomtat.")
                          .arg(named));
    const auto freed = qScopeGuard([queue] { cupsFreeDests(1, queue); });
    const QString found = QString::fromUtf8(queue->name);
    if (cupsOption(*queue, "printer-state") == u"5")
        throw Failure(QStringLiteral("A(z) %1 nyomtató le van állítva%2. A rendszergazda "
                                     "újraindíthatja (cupsenable %1), vagy válasszon másik "
                                     "nyomtatót.")
                          .arg(found, stateMessage(*queue)));
    if (cupsOption(*queue, "printer-is-accepting-jobs") == u"false")
        throw Failure(QStringLiteral("A(z) %1 nyomtató nem fogad nyomtatási feladatot%2. A "
                                     "rendszergazda engedélyezheti (cupsaccept %1), vagy "
                                     "válasszon másik nyomtatót.")
                          .arg(found, stateMessage(*queue)));
    return found;
}

}  // namespace

Printer& Printer::instance() {
    static Printer printer;
    return printer;
}

void Printer::setFont(const QFont& font) {
    font_ = monospaced(font);
}

// The font list holds the installed families and the names the system maps to a stand-in of its
// own, such as a metric-compatible font; a name it does not know falls back to the default font.
bool Printer::offersFont(const QString& family) const {
    if (QFontDatabase::hasFamily(family))
        return true;
    static const QString fallback =
        QFontInfo(QFont(QStringLiteral("No such font family"))).family();
    return QFontInfo(QFont(family)).family() != fallback;
}

void Printer::setPdfFolder(const QString& folder) {
    pdfFolder_ = folder;
    pdfJobs_ = 0;
}

QString Printer::destination() const {
    return pdfFolder_.isEmpty() ? queue_ : pdfFolder_;
}

QString Printer::nextPdfFile() {
    return QDir(pdfFolder_).filePath(QStringLiteral("job-%1.pdf").arg(++pdfJobs_));
}

// The job is laid out as PDF, the page description the print service takes, and handed to the
// service when it ends.
PrintJob::PrintJob(const QString& title, Printer& printer) : printer_(printer), title_(title) {
    if (printer.pdfFolder().isEmpty()) {
        printerName_ = printer.queue_ = checkedQueue();
        device_ = pdfDevice(QPrinterInfo::printerInfo(printerName_).defaultPageSize(),
                            spool_.filePath(QStringLiteral("job.pdf")), title);
    } else {
        device_ = pdfDevice(QPageSize(QPageSize::A4), printer.nextPdfFile(), title);
    }
    if (!painter_.begin(device_.get()))
        throw Failure(QStringLiteral("A(z) %1 nyomtatása nem indítható el.").arg(title));
    setFont(printer.font());
}

PrintJob::~PrintJob() {
    if (painter_.isActive()) {
        painter_.end();
        QFile::remove(device_->outputFileName());
    }
}

void PrintJob::setFont(const QFont& font) {
    printer_.setFont(font);
    painter_.setFont(printer_.font());
    lineHeight_ = QFontMetricsF(painter_.font(), device_.get()).height();
}

void PrintJob::writeLine(const QString& line) {
    QString rest = line;
    do {
        const qsizetype fit = charactersThatFit(rest);
        placeLine(rest.left(fit));
        rest.remove(0, fit);
    } while (!rest.isEmpty());
}

void PrintJob::end() {
    const QString file = device_->outputFileName();
    if (!painter_.end() || device_->printerState() == QPrinter::Error)
        throw Failure(QStringLiteral("A(z) %1 nem nyomtatható ki.").arg(title_));
    if (printerName_.isEmpty())
        return;
    const QByteArray name = printerName_.toLocal8Bit();
    if (cupsPrintFile(name.constData(), QFile::encodeName(file).constData(),
                      title_.toUtf8().constData(), 0, nullptr) == 0)
        throw Failure(QStringLiteral("A(z) %1 nyomtató nem vette át a(z) %2 nyomtatását: %3")
                          .arg(printerName_, title_, QString::fromUtf8(cupsLastErrorString())));
}

void PrintJob::placeLine(const QString& text) {
    const qreal pageHeight = device_->pageRect(QPrinter::DevicePixel).height();
    if (y_ > 0 && y_ + lineHeight_ > pageHeight - 2 * lineHeight_) {
        if (!device_->newPage())
            throw Failure(QStringLiteral("A(z) %1 nem nyomtatható ki.").arg(title_));
        y_ = 0;
    }
    const QFontMetricsF metrics(painter_.font(), device_.get());
    painter_.drawText(QPointF(0, y_ + metrics.ascent()), text);
    y_ += lineHeight_;
}

// At least one character, so that every line makes progress.
qsizetype PrintJob::charactersThatFit(const QString& text) const {
    const qreal width = device_->pageRect(QPrinter::DevicePixel).width();
    const QFontMetricsF metrics(painter_.font(), device_.get());
    qsizetype fits = 1;
    qsizetype tooMany = text.size() + 1;
    while (tooMany - fits > 1) {
        const qsizetype middle = (fits + tooMany) / 2;
        if (metrics.horizontalAdvance(text.left(middle)) <= width)
            fits = middle;
        else
            tooMany = middle;
    }
    return std::min(fits, text.size());
}

}  // namespace platform
