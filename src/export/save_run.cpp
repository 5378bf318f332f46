#include "save_run.h"

#include "common.h"
#include "cover_note.h"
#include "data_files.h"
#include "db/read_transaction.h"
#include "institution/institution_records.h"
#include "platform/sha256.h"
#include "platform/stop_signals.h"
#include "provider_reader.h"
#include "provider_report.h"
#include "purchase_listing.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace exporting {

namespace {

// A spreadsheet program that has a file open keeps a lock file ".~lock.<name>#" beside it.
const QString kLockFilePrefix = QStringLiteral(".~lock.");

QString errorLine(const QString& text) {
    return QStringLiteral("HIBA: ") + text;
}

// A file of the program's own that a killed run left under its temporary name: a report file,
// the error list, a listing or its workbook.
bool isLeftover(const QString& name) {
    static const QRegularExpression listing(QStringLiteral("^.{8}_\\d{4}_.\\.xlsx?\\.tmp$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QString target = name.chopped(4);
    return isReportFile(target) ||
           target.compare(QStringLiteral("hibalista.txt"), Qt::CaseInsensitive) == 0 ||
           listing.match(name).hasMatch();
}

// The entries of a folder that the clean-up deletes: its *.txt entries, and what a killed run left
// there.
struct Cleaning {
    QStringList texts;
    QStringList leftovers;
    LockFiles lockFiles = LockFiles::NoneListed;
};

Cleaning cleaningOf(const QString& folder) {
    Cleaning cleaning;
    for (const QString& name : entriesOf(folder)) {
        if (name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
            cleaning.texts.append(name);
        else if (isLeftover(name))
            cleaning.leftovers.append(name);
        else if (name.startsWith(kLockFilePrefix))
            cleaning.lockFiles = LockFiles::Ask;
    }
    return cleaning;
}

}  // namespace

SaveRun::SaveRun(SaveRunObserver& observer, std::function<QDate()> today)
    : observer_(observer), today_(std::move(today)) {}

SaveRun::~SaveRun() = default;

void SaveRun::Ment(const QString& year, const QString& quarter) {
    // The run reads one state of the database; its statements and unfinished files are let go
    // when it ends, however it ends.
    const db::ReadTransaction reading;
    // The files are finished on a thread of their own while the next are written; those written
    // whole take their names however the run ends.
    files_ = std::make_unique<platform::FileQueue>();
    const auto released = qScopeGuard([this] {
        files_.reset();
        reader_.reset();
        listingNames_.reset();
        made_.clear();
    });
    observer_.started();
    saved_ = SavedReport{year, quarter, false, {}, {}, {}};
    storeSavedReport(saved_);
    cleanUp();

    saveError_ = false;
    try {
        errorListFile_.create(kTextFolder + QStringLiteral("hibalista.txt"), files_.get());
        observer_.writingPeriod(year, quarter);
        writeProviders(year, quarter);
        observer_.providersWritten();
        finishFiles();
    } catch (...) {
        observer_.failed();
        try {
            errorListFile_.close();
        } catch (...) {
            // The failure that ended the run is the one to show.
        }
        throw;
    }
}

void SaveRun::writeProviders(const QString& year, const QString& quarter) {
    // Two records of one report key would make one report twice: the period is not saved.
    const QString repeated =
        institution::repeatedKeysText(institution::repeatedKeys(std::pair(year, quarter)));
    if (!repeated.isEmpty())
        return LogLine(repeated, true);
    const QStringList providers = periodProviders(year, quarter);
    reader_ = std::make_unique<ProviderReader>();
    coverNoteHeading_ = coverNoteHeading();
    coverNoteDate_ = today_();
    for (const QString& adosajat : providers) {
        platform::stopIfRequested();
        auto report = std::make_shared<ProviderReport>();
        report->adosajat = adosajat;
        report->year = year;
        report->quarter = quarter;
        writeProvider(std::move(report));
    }
}

// Each file is created before its rows are read, so that one the folder refuses fails the run
// at its own step. The files are made from the report on the files' thread while the next
// provider's report is read here.
void SaveRun::writeProvider(std::shared_ptr<ProviderReport> report) {
    const auto nameOf = [adosajat = report->adosajat, year = report->year,
                         quarter = report->quarter](const QString& kind) {
        return reportFileName(adosajat, year, quarter, kind);
    };
    const QString institutionName = nameOf(QStringLiteral("BI"));
    observer_.step(institutionName, reader_->readRecord(*report) ? 1 : 0);
    observer_.progressed(1);
    platform::TextFile institutionFile(kTextFolder + institutionName, files_.get(), reportTarget_);

    const QString purchaseName = nameOf(QStringLiteral("BR"));
    observer_.step(purchaseName, reader_->countItems(*report));
    std::optional<platform::TextFile> purchaseFile;
    if (report->itemCount > 0)
        purchaseFile.emplace(kTextFolder + purchaseName, files_.get(), reportTarget_);
    reader_->readItems(*report, [this](int items) { observer_.progressed(items); });

    for (const QString& misfit : report->misfits)
        LogLine(misfit, true);
    if (!report->misfits.isEmpty())
        return;
    const std::shared_ptr<const ProviderReport> read = std::move(report);
    MadeReport& made = *made_.emplace_back(std::make_unique<MadeReport>());
    made.adosajat = read->adosajat;
    // The report is held until its files are made: the first of them counts it.
    closeRecorded(
        institutionFile, made.institution, kTextFolder + institutionName,
        [read] { return institutionDataFile(*read); }, dataFileSize(read->record) + read->memory());
    if (purchaseFile) {
        closeRecorded(
            *purchaseFile, made.purchase.emplace(), kTextFolder + purchaseName,
            [read] { return purchaseDataFile(*read); }, dataFileSize(read->items));
    }
    writeListing(read);
    const QString coverNotePath = kCoverNoteFolder + nameOf(QStringLiteral("KJ"));
    platform::TextFile coverNoteFile(coverNotePath, files_.get(), reportTarget_);
    closeRecorded(
        coverNoteFile, made.coverNote, coverNotePath,
        [read, heading = coverNoteHeading_, date = coverNoteDate_] {
            return coverNote(*read, heading, date);
        },
        static_cast<size_t>(coverNoteHeading_.size()));
}

// The old listing is typically held open by a spreadsheet program; it stays, and so does its
// error line, which names the file as it was found and fails the run.
void SaveRun::writeListing(const std::shared_ptr<const ProviderReport>& report) {
    const QString name = listingFileName(report->adosajat, report->year, report->quarter);
    const QStringList kept = deleteOldListing(name);
    for (const QString& entry : kept)
        LogLine(notDeletable(entry), true);
    if (!kept.isEmpty())
        return;
    // Whatever bore the name is gone.
    platform::TextFile file(kListingFolder + name, files_.get(), platform::Target::Vacated);
    if (!listingNames_)
        listingNames_ = std::make_unique<const ListingNames>();
    file.closeWith(
        [report, names = listingNames_.get()] { return purchaseListing(*report, *names); },
        dataFileSize(report->items));
}

// The record is the files' thread's until the queue is finished.
void SaveRun::closeRecorded(platform::TextFile& file, SavedFile& record, const QString& path,
                            std::function<std::string()> makeBytes, size_t expectedBytes) {
    record.path = path;
    file.closeWith(
        [&record, makeBytes = std::move(makeBytes)] {
            std::string bytes = makeBytes();
            record.size = static_cast<qint64>(bytes.size());
            record.sha256 = platform::sha256Hex(bytes);
            return bytes;
        },
        expectedBytes);
}

// The closing lines and the entries that send and print come only once every file of the run is
// whole under its name: a file that could not be written fails the run before them, as one the
// run could not create does. The list is written whole before its closing lines are shown.
void SaveRun::finishFiles() {
    files_->finish();
    const bool complete = !reportFileKept_ && !saveError_;
    const QStringList closing{QStringLiteral("Text állományok elkészültek"), QString()};
    if (complete) {
        for (const QString& line : closing)
            errorListFile_.writeLine(line);
    }
    errorListFile_.close();
    files_->finish();
    // What may be sent or printed is on the disk before the entries allow it.
    platform::flushFileSystem(kTextFolder);
    if (complete) {
        recordMadeReports();
        saved_.complete = true;
        saved_.at = QDateTime::currentDateTime();
        storeSavedReport(saved_);
        for (const QString& line : closing)
            observer_.logLine(line, false);
    }
    observer_.finished(complete);
}

// In the order the providers were taken: their report files, and the fingerprint of their data.
void SaveRun::recordMadeReports() {
    Fingerprint fingerprint;
    for (const std::unique_ptr<MadeReport>& made : made_) {
        saved_.files.append(made->institution);
        if (made->purchase)
            saved_.files.append(*made->purchase);
        saved_.files.append(made->coverNote);
        fingerprint.addProvider(made->adosajat, made->institution.sha256,
                                made->purchase ? made->purchase->sha256 : QByteArray());
    }
    saved_.fingerprint = fingerprint.result();
}

void SaveRun::LogLine(const QString& text, bool error) {
    const QString line = error ? errorLine(text) : text;
    errorListFile_.writeLine(line);
    observer_.logLine(line, error);
    if (error)
        saveError_ = true;
}

// The clean-up deletes every *.txt entry of the text and cover-note folders, of any period, and
// what a killed run left of the program's files under temporary names; it is over before the run
// writes anything. The files' thread deletes the cover notes and as many of the data files as
// leave each thread half of the entries. An entry that cannot be deleted is reported in the log
// only, before any other line: the error list is not written yet. A report file that stays could
// be sent as this run's, so the run does not end complete.
void SaveRun::cleanUp() {
    Cleaning texts = cleaningOf(kTextFolder);
    const Cleaning notes = cleaningOf(kCoverNoteFolder);
    const qsizetype theirs =
        std::clamp((texts.texts.size() - notes.texts.size()) / 2, qsizetype(0), texts.texts.size());
    const QStringList theirTexts = texts.texts.first(theirs);
    texts.texts.remove(0, theirs);
    auto keptThere = files_->later([notes, theirTexts, textLocks = texts.lockFiles] {
        deleteEntries(kCoverNoteFolder, notes.leftovers, notes.lockFiles);
        return std::pair(deleteEntries(kTextFolder, theirTexts, textLocks),
                         deleteEntries(kCoverNoteFolder, notes.texts, notes.lockFiles));
    });
    deleteEntries(kTextFolder, texts.leftovers, texts.lockFiles);
    const QStringList keptHere = deleteEntries(kTextFolder, texts.texts, texts.lockFiles);
    const auto [textsKept, notesKept] = keptThere.get();
    const QStringList kept = textsKept + keptHere + notesKept;
    reportFileKept_ = false;
    // Where nothing stayed, no entry bears the name of a report file the run writes.
    reportTarget_ = kept.isEmpty() ? platform::Target::Vacated : platform::Target::MayExist;
    for (const QString& name : kept) {
        observer_.logLine(errorLine(notDeletable(name)), true);
        reportFileKept_ = reportFileKept_ || isReportFile(name);
    }
    readListingFolder();
}

// The listing folder's entries by lower-case name, read once per run rather than once per data
// provider; what a killed run left there goes.
void SaveRun::readListingFolder() {
    listingEntries_.emplace();
    QStringList leftovers;
    for (const QString& entry : entriesOf(kListingFolder)) {
        if (isLeftover(entry))
            leftovers.append(entry);
        else
            (*listingEntries_)[entry.toLower()].append(entry);
    }
    deleteEntries(kListingFolder, leftovers);
}

QStringList SaveRun::deleteOldListing(const QString& name) {
    // A workbook made from the old listing would no longer show the provider's items.
    return deleteEntries(kListingFolder, listingEntries_->take(name.toLower()) +
                                             listingEntries_->take(name.toLower() + u'x'));
}

void Ment(SaveRunObserver& observer, const QString& year, const QString& quarter) {
    SaveRun(observer).Ment(year, quarter);
}

QStringList entriesOf(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList(
        {pattern}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

namespace {

// A folder cannot be deleted (a link to one can), nor a file the user marked read-only, which has
// no write bit in its mode: unlike the file system's own refusal this holds for every user, the
// administrator included.
bool isDeletable(const QByteArray& path) {
    struct stat entry {};
    if (::lstat(path.constData(), &entry) != 0 || S_ISDIR(entry.st_mode))
        return false;
    struct stat file = entry;
    if (S_ISLNK(entry.st_mode) && ::stat(path.constData(), &file) != 0)
        return true;
    return !S_ISREG(file.st_mode) || (file.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH));
}

bool isOpenInSpreadsheet(const QString& folder, const QString& name) {
    const QByteArray lock = QFile::encodeName(folder + kLockFilePrefix + name + u'#');
    return ::access(lock.constData(), F_OK) == 0;
}

bool deleteEntry(const QString& folder, const QString& name, LockFiles lockFiles) {
    const QByteArray path = QFile::encodeName(folder + name);
    return isDeletable(path) &&
           (lockFiles == LockFiles::NoneListed || !isOpenInSpreadsheet(folder, name)) &&
           ::unlink(path.constData()) == 0;
}

}  // namespace

QStringList deleteEntries(const QString& folder, const QStringList& names, LockFiles lockFiles) {
    QStringList kept;
    for (const QString& name : names) {
        if (!deleteEntry(folder, name, lockFiles))
            kept.append(name);
    }
    return kept;
}

QString reportFileName(const QString& adosajat, const QString& year, const QString& quarter,
                       const QString& kind) {
    return QStringLiteral("%1_%2_%3_%4.txt").arg(year, quarter, adosajat, kind);
}

QString listingFileName(const QString& adosajat, const QString& year, const QString& quarter) {
    return QStringLiteral("%1_%2_%3.xls").arg(adosajat, year, quarter);
}

}  // namespace exporting
