#include "save_run.h"

#include "common.h"
#include "db/query.h"
#include "db/read_transaction.h"
#include "platform/pending.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScopeGuard>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace exporting {

namespace {

QString errorLine(const QString& text) {
    return QStringLiteral("HIBA: ") + text;
}

// A shown gauge repaints itself at once whenever its position changes, which over a run of
// 100,000 lines would take far longer than writing them. While the run writes, the gauge takes
// its figures with its own drawing held back; it is drawn with the rest when pending messages
// are processed.
class HeldDrawing {
public:
    explicit HeldDrawing(QWidget* widget) : widget_(widget) { widget_->setUpdatesEnabled(false); }
    ~HeldDrawing() { widget_->setUpdatesEnabled(true); }
    HeldDrawing(const HeldDrawing&) = delete;
    HeldDrawing& operator=(const HeldDrawing&) = delete;

private:
    QWidget* widget_;
};

// A file of the program's own that a killed run left under its temporary name: a report file,
// the error list or a listing.
bool isLeftover(const QString& name) {
    static const QRegularExpression listing(QStringLiteral("^.{8}_\\d{4}_.\\.xls\\.tmp$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QString target = name.chopped(4);
    return isReportFile(target) ||
           target.compare(QStringLiteral("hibalista.txt"), Qt::CaseInsensitive) == 0 ||
           listing.match(name).hasMatch();
}

// Deletes the folder's *.txt entries and what a killed run left there; the names of the *.txt
// entries that stay.
QStringList cleanFolder(const QString& folder) {
    QStringList texts;
    QStringList leftovers;
    for (const QString& name : entriesOf(folder)) {
        if (name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
            texts.append(name);
        else if (isLeftover(name))
            leftovers.append(name);
    }
    deleteEntries(folder, leftovers);
    return deleteEntries(folder, texts);
}

}  // namespace

SaveRun::SaveRun(const SaveRunControls& controls, std::function<QDate()> today)
    : controls_(controls), today_(std::move(today)) {}

SaveRun::~SaveRun() = default;

void SaveRun::Ment(const QString& year, const QString& quarter) {
    // The run reads one state of the database; its statements, unfinished files and the values
    // read for its writers are let go when it ends, however it ends.
    const db::ReadTransaction reading;
    // The files are finished on a thread of their own while the next are written; those written
    // whole take their names however the run ends.
    files_ = std::make_unique<platform::FileQueue>();
    const auto released = qScopeGuard([this] {
        files_.reset();
        statements_.reset();
        listingItems_.reset();
        listingKey_.clear();
        institutionFile_.reset();
        purchaseFile_.reset();
        recordKey_.clear();
        countKey_.clear();
    });
    controls_.log->show();
    controls_.log->clear();
    controls_.send->setEnabled(false);
    controls_.coverNote->setEnabled(false);
    cleanUp();

    saveError_ = false;
    progress_ = 0;
    try {
        errorListFile_.create(kTextFolder + QStringLiteral("hibalista.txt"), files_.get());
        controls_.step->show();
        controls_.gauge->show();
        const HeldDrawing held(controls_.gauge);
        controls_.gauge->setRange(0, 1);
        controls_.gauge->setValue(0);
        draw(true);

        controls_.send->setText(QStringLiteral("Küldés %1 - %2").arg(year, quarter));
        controls_.coverNote->setText(
            QStringLiteral("Kísérőjegyzék nyomtatása %1 - %2").arg(year, quarter));

        db::Query providers(QStringLiteral("select ai.adosajat from adatlapInt ai "
                                           "where ai.adatszolgev = ? and ai.adatszolgnegyedev = ?"),
                            {year, quarter});
        const int count = providers.rowCount();
        for (int i = 0; i < count; ++i) {
            const QString adosajat = providers.text(QStringLiteral("adosajat"));
            writeProvider(adosajat, year, quarter);
            providers.next();
        }

        controls_.gauge->setValue(progress_);
        controls_.gauge->hide();
        controls_.step->hide();
        finishFiles();
    } catch (...) {
        // A run that fails leaves the gauge's figures behind as they were.
        controls_.gauge->setValue(progress_);
        try {
            errorListFile_.close();
        } catch (...) {
            // The failure that ended the run is the one to show.
        }
        throw;
    }
}

void SaveRun::writeProvider(const QString& adosajat, const QString& year, const QString& quarter) {
    valueDoesNotFit_ = false;
    WriteInstitutionFile(adosajat, year, quarter);
    WritePurchaseFile(adosajat, year, quarter);
    if (!valueDoesNotFit_) {
        institutionFile_->close();
        if (purchaseFile_)
            purchaseFile_->close();
    }
    institutionFile_.reset();
    purchaseFile_.reset();
    if (valueDoesNotFit_)
        return;
    WritePurchaseListing(adosajat, year, quarter);
    WriteCoverNote(adosajat, year, quarter);
}

RunStatements& SaveRun::statements() {
    if (!statements_)
        statements_ = std::make_unique<RunStatements>();
    return *statements_;
}

QString SaveRun::itemCount(const QVariantList& key) {
    if (countKey_ != key) {
        db::RowReader& count = statements().itemCount;
        count.run(key);
        count.next();
        count_ = count.text(u"bs");
        count.close();
        countKey_ = key;
    }
    return count_;
}

QString SaveRun::recordText(const QVariantList& key, int field) {
    if (recordKey_ != key) {
        db::RowReader& row = statements().providerRow;
        row.run(key);
        row.next();
        rememberRecord(key, row);
        row.close();
    }
    // The record is read with "select *", in the order of its data file's fields.
    return record_.at(field);
}

void SaveRun::rememberRecord(const QVariantList& key, db::RowReader& row) {
    record_.clear();
    for (int i = 0; i < static_cast<int>(kInstitutionFields.size()); ++i)
        record_.append(row.text(i));
    recordKey_ = key;
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
    if (complete)
        controls_.log->addItems(closing);
    controls_.send->setEnabled(complete);
    controls_.coverNote->setEnabled(complete);
}

void SaveRun::LogLine(const QString& text, bool error) {
    const QString line = error ? errorLine(text) : text;
    errorListFile_.writeLine(line);
    controls_.log->addItem(line);
    if (error)
        saveError_ = true;
}

// The clean-up deletes every *.txt entry of the text and cover-note folders, of any period, and
// what a killed run left of the program's files under temporary names; it is over before the run
// writes anything. The cover notes go on the files' thread while the data files go here. An entry
// that cannot be deleted is reported in the log list only, before any other line: the error list
// is not written yet. A report file that stays could be sent as this run's, so the run does not
// end complete.
void SaveRun::cleanUp() {
    auto coverNotes = files_->later([] { return cleanFolder(kCoverNoteFolder); });
    QStringList kept = cleanFolder(kTextFolder);
    kept += coverNotes.get();
    reportFileKept_ = false;
    for (const QString& name : kept) {
        controls_.log->addItem(errorLine(notDeletable(name)));
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

// The gauge counts the rows of the file being written; an empty result shows an empty gauge
// rather than a busy one.
void SaveRun::showStep(int rowCount, const QString& fileName) {
    controls_.gauge->setRange(0, std::max(rowCount, 1));
    progress_ = 0;
    controls_.gauge->setValue(0);
    controls_.step->setText(fileName + QStringLiteral(" mentése"));
    draw(false);
}

// The gauge takes the position when it is drawn and when the run ends: every position it is
// given costs it an accessibility notification, far more than writing the row.
void SaveRun::showProgress(int position) {
    progress_ = position;
    draw(false);
}

// Draws the log, the gauge and the step label, at most every 40 ms unless asked to draw now: often
// enough to watch the run, seldom enough that drawing does not outweigh writing.
void SaveRun::draw(bool now) {
    if (!drawing_.due(now))
        return;
    controls_.gauge->setValue(progress_);
    const bool held = !controls_.gauge->updatesEnabled();
    controls_.gauge->setUpdatesEnabled(true);
    drawing_.draw(true);
    controls_.gauge->setUpdatesEnabled(!held);
}

void Ment(const SaveRunControls& controls, const QString& year, const QString& quarter) {
    SaveRun(controls).Ment(year, quarter);
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

// A spreadsheet program that has a file open keeps a lock file ".~lock.<name>#" beside it.
bool isOpenInSpreadsheet(const QString& folder, const QString& name) {
    const QByteArray lock = QFile::encodeName(folder + QStringLiteral(".~lock.") + name + u'#');
    return ::access(lock.constData(), F_OK) == 0;
}

bool deleteEntry(const QString& folder, const QString& name) {
    const QByteArray path = QFile::encodeName(folder + name);
    return isDeletable(path) && !isOpenInSpreadsheet(folder, name) &&
           ::unlink(path.constData()) == 0;
}

}  // namespace

QStringList deleteEntries(const QString& folder, const QStringList& names) {
    QStringList kept;
    for (const QString& name : names) {
        if (!deleteEntry(folder, name))
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
