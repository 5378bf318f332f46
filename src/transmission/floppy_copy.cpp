#include "floppy_copy.h"

#include "export/common.h"
#include "overview/step_log.h"
#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/pending.h"
#include "platform/removable_media.h"
#include "transmission/report_period.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace transmission {

namespace {

constexpr qint64 kBlockSize = 64000;

[[noreturn]] void fail(const QString& action, const QFile& file, const QString& reason) {
    throw platform::Failure(
        QStringLiteral("%1 %2. %3").arg(action, QDir::toNativeSeparators(file.fileName()), reason));
}

[[noreturn]] void fail(const QString& action, const QFile& file) {
    fail(action, file, file.errorString());
}

}  // namespace

FloppyCopy::FloppyCopy(QString year, QString quarter, Log log, Progress progress, QString medium)
    : year_(std::move(year)),
      quarter_(std::move(quarter)),
      log_(std::move(log)),
      progress_(std::move(progress)),
      givenMedium_(std::move(medium)) {}

bool FloppyCopy::MasolasFloppyra() {
    using platform::Button;
    while (!FloppyPresent()) {
        if (platform::showWarning(
                QStringLiteral("Nincs floppy az \"a:\\\" meghajtóban. Mégegyszer?"),
                {Button::Yes, Button::No}) == Button::No)
            return false;
    }
    bool whole = copyPass(exporting::kTextFolder, QStringLiteral("*_BI.txt"), false);
    whole = copyPass(exporting::kTextFolder, QStringLiteral("*_BR.txt"), false) && whole;
    whole = copyPass(exporting::kCoverNoteFolder, QStringLiteral("*_KJ.txt"), true) && whole;
    if (log_)
        log_(copied_ > 0 ? QStringLiteral("%1 állomány átmásolva: %2")
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
        if (!isOfPeriod(name, year_, quarter_)) {
            if (log_)
                log_(notOfPeriod(name, year_, quarter_, QStringLiteral("nincs átmásolva")));
            continue;
        }
        lastTried = name;
        lastCopied = CopyToFloppy(folder + name, QDir(medium_).filePath(name));
        everyCopied = everyCopied && lastCopied;
        copied_ += lastCopied ? 1 : 0;
        if (!lastCopied && stopAtFirstMiss)
            break;
    }
    if (!lastCopied)
        platform::showWarning(QStringLiteral("Hiba a ") + lastTried +
                              QStringLiteral(" másolása közben!"));
    return everyCopied;
}

bool FloppyCopy::CopyToFloppy(const QString& source, const QString& destination) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Cannot open file"), in);
    // A file exactly as large as the free space still fits.
    if (platform::freeSpace(QFileInfo(destination).absolutePath()) < in.size()) {
        platform::showWarning(QStringLiteral("Az a meghajtón nincs elég hely"));
        return false;
    }
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        fail(QStringLiteral("Cannot create file"), out);
    try {
        copyBlocks(in, out);
    } catch (...) {
        // No truncated report may stay on the medium under its real name.
        out.close();
        QFile::remove(destination);
        throw;
    }
    return true;
}

void FloppyCopy::copyBlocks(QFile& source, QFile& destination) {
    const qint64 size = source.size();
    QByteArray block(kBlockSize, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        const qint64 read = source.read(block.data(), kBlockSize);
        if (read < 0)
            fail(QStringLiteral("Cannot read file"), source);
        if (read == 0)
            break;
        // A medium filling up takes part of a block before it refuses the rest with its reason.
        for (qint64 written = 0; written < read;) {
            const qint64 taken = destination.write(block.constData() + written, read - written);
            if (taken <= 0)
                fail(QStringLiteral("Cannot write file"), destination);
            written += taken;
        }
        copied += read;
        if (progress_)
            progress_(copied, size);
        platform::drawPending();
    }
    // On the medium before the next file starts, so a removed medium holds whole files.
    if (::fsync(destination.handle()) != 0)
        fail(QStringLiteral("Cannot write file"), destination,
             QString::fromLocal8Bit(std::strerror(errno)));
    destination.close();
}

}  // namespace transmission
