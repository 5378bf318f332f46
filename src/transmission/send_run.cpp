#include "send_run.h"

#include "export/common.h"
#include "platform/failure.h"
#include "platform/settings.h"
#include "platform/whole_file.h"
#include "transmission/archive_checksums.h"
#include "transmission/compress_file.h"
#include "transmission/move_file.h"
#include "transmission/report_period.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace transmission {

namespace {

// What each pass sends, in this order: the data files, then the cover notes.
struct Pass {
    QString folder;
    QString pattern;
};

// Copies the whole file through a temporary file (platform::writeWhole), so that a copy stands
// whole or not at all, and gives the bytes copied; a failure names the file and the reason.
QByteArray copyReplacing(const QString& from, const QString& to) {
    QFile source(from);
    const QByteArray bytes = source.open(QIODevice::ReadOnly) ? source.readAll() : QByteArray();
    if (source.error() != QFileDevice::NoError)
        throw platform::Failure(from + QStringLiteral(": ") + source.errorString());
    try {
        platform::writeWhole(to, {bytes.constData(), static_cast<size_t>(bytes.size())});
    } catch (const platform::FileFailure& failure) {
        throw platform::Failure(to + QStringLiteral(": ") + failure.reason());
    }
    return bytes;
}

QString textPathOf(const QString& compressedPath) {
    return compressedPath.chopped(4) + QStringLiteral(".txt");
}

}  // namespace

SendRun::SendRun(QString year, QString quarter, SendRunObserver& observer, FtpAccount account,
                 FtpTimeouts timeouts, std::function<QDateTime()> clock)
    : year_(std::move(year)),
      quarter_(std::move(quarter)),
      observer_(observer),
      client_(std::move(account), timeouts),
      clock_(std::move(clock)) {
    QObject::connect(&client_, &FtpClient::workBegin, &client_,
                     [this](qint64 total) { observer_.transferStarted(total); });
    QObject::connect(&client_, &FtpClient::work, &client_,
                     [this](qint64 sent) { observer_.transferred(sent); });
    QObject::connect(&client_, &FtpClient::aboutToWait, &client_,
                     [this] { observer_.aboutToWait(); });
    QObject::connect(&client_, &FtpClient::tlsAgreed, &client_, [this](const QString& server) {
        keepSetting(platform::kFtpTlsAgreedKey, server,
                    QStringLiteral(", hogy a szerver (%1) elfogadta a titkosítást: ebben a "
                                   "küldésben titkosítás nélkül semmit sem küld neki, a "
                                   "következőkben azonban igen, ha a szerver nem ajánl "
                                   "titkosítást")
                        .arg(server));
    });
    QObject::connect(&client_, &FtpClient::certificateTrusted, &client_,
                     [this](const QString& fingerprint) {
                         keepSetting(platform::kFtpCertificateKey, fingerprint,
                                     QStringLiteral(" a most elfogadott tanúsítványt: a "
                                                    "következő küldéskor újra rákérdez"));
                     });
    client_.setCertificateQuestion(observer_.certificateQuestion());
}

SendRun::~SendRun() = default;

void SendRun::run() {
    failed_ = false;
    runStop_.reset();
    unencryptedTold_ = false;
    archiveFolder_ =
        platform::kSendFolder + clock_().toString(QStringLiteral("yyyyMMdd_hh_mm")) + u'/';
    // A folder left by a run of the same minute serves again, its checksum list with it. One that
    // cannot be made is told with each file that then cannot be archived.
    QDir().mkdir(archiveFolder_);
    checksums_ = std::make_unique<ArchiveChecksums>(archiveFolder_);
    checksumsFailure_.reset();

    const Pass passes[] = {{exporting::kTextFolder, QStringLiteral("*_BI.txt")},
                           {exporting::kTextFolder, QStringLiteral("*_BR.txt")},
                           {exporting::kCoverNoteFolder, QStringLiteral("*_KJ.txt")}};
    lastPath_.clear();
    for (const Pass& pass : passes) {
        for (const QString& name : exporting::entriesOf(pass.folder, pass.pattern)) {
            if (!isOfPeriod(name, year_, quarter_)) {
                observer_.logLine(
                    notOfPeriod(name, year_, quarter_, QStringLiteral("nincs elküldve")));
                continue;
            }
            lastPath_ = pass.folder + name;
            CompressFile(lastPath_);
            sendFile(compressedPath(lastPath_));
        }
    }
    if (checksumsFailure_) {
        observer_.logLine(
            QStringLiteral("Az archívum ellenőrzőlistája (%1%2) nem írható: %3")
                .arg(archiveFolder_, QString::fromLatin1(kChecksumFileName), *checksumsFailure_));
    }
}

void SendRun::stop() {
    client_.stop();
}

QString SendRun::closingMessage() const {
    if (failed_)
        return QStringLiteral(
            "Hiba történt a küldés folyamán! Kérem ellenőrizze, hogy a gép kapcsolódik-e az "
            "internethez, és próbálja meg újra elküldeni!");
    return QStringLiteral(
               "Sikeres küldés! Amennyiben van rá módja, nyomtassa ki most a "
               "kisérőjegyzéket, ha nincs, tegye ezt meg később a ") +
           lastPath_ + QStringLiteral(" file-ból!");
}

// One connection per file: connect and log in, upload, archive, disconnect. A file that fails
// is logged with its reason and the run goes on with the next one. Once the server did not
// answer in time or refused the login, every later file fails at once: it is not waited for
// again, and it may lock out an address that keeps logging in.
void SendRun::sendFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const QString noConnection =
        name + QStringLiteral(
                   ": Nem sikerült felvenni a kapcsolatot az FTP szerverrel. "
                   "Próbálja újra!");
    const QString failed = name + QStringLiteral(": Sikertelen küldés. Próbálja újra!");
    observer_.logLine(name + QStringLiteral(": Kapcsolódás ..."));
    if (runStop_) {
        logFailure(runStop_->failedLine ? failed : noConnection, runStop_->reason);
        return;
    }
    try {
        client_.Connect();
    } catch (const FtpFailure& failure) {
        logFailure(noConnection, failure.reason());
        if (failure.fault() != FtpFault::FileOnly) {
            runStop_ = RunStop{failure.fault() == FtpFault::Stopped,
                               failure.timedOut() ? QString() : failure.reason()};
        }
        return;
    } catch (const platform::Failure& failure) {
        logFailure(noConnection, failure.text());
        return;
    }
    tellIfUnencrypted();
    observer_.logLine(name + QStringLiteral(": Adatküldés ..."));
    QString failure;
    try {
        client_.Put(path, name);
        observer_.logLine(name + QStringLiteral(": Küldés rendben."));
        archive(path);
    } catch (const FtpFailure& error) {
        failure = error.reason();
        if (error.timedOut() || error.fault() == FtpFault::Stopped)
            runStop_ = RunStop{true, failure};
    } catch (const platform::Failure& error) {
        failure = error.text();
    }
    if (!failure.isEmpty())
        logFailure(failed, failure);
    try {
        client_.Disconnect();
    } catch (const platform::Failure& error) {
        logFailure(noConnection, reasonOf(error));
    }
}

void SendRun::keepSetting(const char* key, const QString& value, const QString& lost) {
    try {
        platform::storeFtpSetting(QLatin1String(key), value);
    } catch (const platform::FileFailure& failure) {
        observer_.logLine(QStringLiteral("  Figyelem: a(z) %1 nem írható (%2), ezért a program "
                                         "nem jegyezhette meg%3.")
                              .arg(platform::settingsFilePath(), failure.reason(), lost));
    }
}

// Once per run, as the password and the files went in clear.
void SendRun::tellIfUnencrypted() {
    const std::optional<QString>& reason = client_.unencryptedReason();
    if (unencryptedTold_ || !reason)
        return;
    unencryptedTold_ = true;
    observer_.logLine(QStringLiteral("  Figyelem: a kapcsolat nem titkosított, a jelszó és az "
                                     "állományok olvashatóan mennek át (%1).")
                          .arg(*reason));
}

void SendRun::archive(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const QString archived = archiveFolder_ + name;
    // A run of the same minute replaces what an earlier one archived under the same name, so the
    // folder holds exactly what was sent last; a move that fails leaves the compressed file where
    // it was written, for the next compression to replace.
    std::optional<QString> moveFailure;
    try {
        moveReplacing(path, archived);
        checksums_->add(name);
    } catch (const platform::FileFailure& failure) {
        moveFailure = failure.reason();
    }
    std::optional<QString> copyFailure;
    try {
        checksums_->add(textPathOf(name), copyReplacing(textPathOf(path), textPathOf(archived)));
    } catch (const platform::Failure& failure) {
        copyFailure = failure.text();
    }
    // After every file archived, so that the list covers what the folder holds.
    if (!moveFailure || !copyFailure)
        writeChecksums();
    if (moveFailure)
        throw platform::Failure(
            QStringLiteral("a tömörített állomány nem került az archívumba (%1): %2")
                .arg(archived, *moveFailure));
    if (copyFailure)
        throw platform::Failure(QStringLiteral("az archív másolat nem készült el: ") +
                                *copyFailure);
}

// The files went to the server all the same: a list that cannot be written is told at the end.
void SendRun::writeChecksums() {
    try {
        checksums_->write();
        checksumsFailure_.reset();
    } catch (const platform::FileFailure& failure) {
        checksumsFailure_ = failure.reason();
    }
}

// The failure line, then its reason, where there is one, on a line of its own.
void SendRun::logFailure(const QString& line, const QString& reason) {
    observer_.logLine(line);
    if (!reason.isEmpty())
        observer_.logLine(QStringLiteral("  Ok: ") + reason);
    failed_ = true;
}

}  // namespace transmission
