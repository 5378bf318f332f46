#include "floppy_copy.h"

#include "export/common.h"
#include "overview/step_log.h"
#include "platform/failure.h"
#include "platform/layout.h"
#include "platform/removable_media.h"
#include "platform/whole_file.h"
#include "transmission/report_period.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace transmission {

namespace {

constexpr qint64 kBlockSize = 64000;

[[noreturn]] void fail(const QString& action, const QFile& file) {
    throw platform::Failure(
        QStringLiteral("%1 %2. %3")
            .arg(action, QDir::toNativeSeparators(file.fileName()), file.errorString()));
}

// A copy into the working folder or its data folders would replace the reports with
// themselves, or bury copies among the program's own files.
void refuseProgramFolder(const QString& medium) {
    const QString target = QFileInfo(medium).canonicalFilePath();
    for (const QString& folder : {QString(), platform::kDataFolder, platform::kTextFolder,
                                  platform::kListingFolder, platform::kSendFolder}) {
        const QString own = QFileInfo(platform::workingPath(folder)).canonicalFilePath();
        if (!own.isEmpty() &&
            (target == own || (!folder.isEmpty() && target.startsWith(own + u'/'))))
            throw platform::Failure(
                QStringLiteral("A(z) %1 mappa a program saját mappája, oda nem másolható.")
                    .arg(QDir::toNativeSeparators(medium)));
    }
}

}  // namespace

FloppyCopy::FloppyCopy(QString year, QString quarter, MediaCopyObserver& observer, QString medium)
    : year_(std::move(year)),
      quarter_(std::move(quarter)),
      observer_(observer),
      givenMedium_(std::move(medium)) {}

bool FloppyCopy::MasolasFloppyra() {
    while (!FloppyPresent()) {
        if (!observer_.askAgain(
                QStringLiteral("Nincs floppy az \"a:\\\" meghajtóban. Mégegyszer?")))
            return false;
    }
    refuseProgramFolder(medium_);
    bool whole = copyPass(exporting::kTextFolder, QStringLiteral("*_BI.txt"), false);
    whole = copyPass(exporting::kTextFolder, QStringLiteral("*_BR.txt"), false) && whole;
    whole = copyPass(exporting::kCoverNoteFolder, QStringLiteral("*_KJ.txt"), true) && whole;
    if (stopped_) {
        observer_.logLine(QStringLiteral("A másolás megszakítva; %1 állomány átmásolva: %2")
                              .arg(copied_)
                              .arg(QDir::toNativeSeparators(medium_)));
        return false;
    }
    observer_.logLine(
        copied_ > 0 ? QStringLiteral("%1 állomány átmásolva: %2")
                          .arg(copied_)
                          .arg(QDir::toNativeSeparators(medium_))
                    : QStringLiteral("Nincs átmásolandó állomány a(z) %1. év %2. negyedévére.")
                          .arg(year_, quarter_));
    if (whole)
        overview::recordDelivery(overview::Delivery::Copied, year_, quarter_);
    return whole;
}

bool FloppyCopy::FloppyPresent() {
    medium_ = givenMedium_.isEmpty() ? platform::removableMediaFolder() : givenMedium_;
    const QFileInfo folder(medium_);
    return !medium_.isEmpty() && folder.isDir() && folder.isExecutable();
}

// The files are read from the working folder the program lists them in, which is its own folder.
bool FloppyCopy::copyPass(const QString& folder, const QString& pattern, bool stopAtFirstMiss) {
    QString lastTried;
    bool lastCopied = true;
    bool everyCopied = true;
    for (const QString& name : exporting::entriesOf(folder, pattern)) {
        if (stopped_)
            return false;
        if (!isOfPeriod(name, year_, quarter_)) {
            observer_.logLine(
                notOfPeriod(name, year_, quarter_, QStringLiteral("nincs átmásolva")));
            continue;
        }
        lastTried = name;
        lastCopied = CopyToFloppy(folder + name, QDir(medium_).filePath(name));
        everyCopied = everyCopied && lastCopied;
        copied_ += lastCopied ? 1 : 0;
        if (!lastCopied && stopAtFirstMiss)
            break;
    }
    if (!lastCopied && !stopped_)
        observer_.warn(QStringLiteral("Hiba a ") + lastTried + QStringLiteral(" másolása közben!"));
    return everyCopied;
}

bool FloppyCopy::CopyToFloppy(const QString& source, const QString& destination) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Cannot open file"), in);
    // A file exactly as large as the free space still fits.
    if (platform::freeSpace(QFileInfo(destination).absolutePath()) < in.size()) {
        observer_.warn(QStringLiteral("Az a meghajtón nincs elég hely"));
        return false;
    }
    // On the medium before it takes its name and before the next file starts, so a medium
    // taken out holds whole files.
    platform::WholeFile out(destination, {.syncFile = true, .syncFolder = true});
    copyBlocks(in, out);
    if (stopped_)
        return false;
    out.commit();
    return true;
}

void FloppyCopy::copyBlocks(QFile& source, platform::WholeFile& destination) {
    const qint64 size = source.size();
    QByteArray block(kBlockSize, Qt::Uninitialized);
    qint64 copied = 0;
    while (!stopped_) {
        const qint64 read = source.read(block.data(), kBlockSize);
        if (read < 0)
            fail(QStringLiteral("Cannot read file"), source);
        if (read == 0)
            break;
        destination.write({block.constData(), static_cast<size_t>(read)});
        copied += read;
        observer_.progressed(copied, size);
    }
}

}  // namespace transmission
