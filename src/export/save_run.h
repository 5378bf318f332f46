#pragma once

#include "platform/codepage.h"
#include "platform/file_queue.h"
#include "save_run_observer.h"
#include "saved_report.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace exporting {

class ListingNames;
class ProviderReader;
struct ProviderReport;

// The save run of one year and quarter: clears the text files of earlier runs, then writes for
// every data provider of the period its institution and purchase data files (text/), its purchase
// listing (Listak/) and its cover note (kuldes/temp/), logging to the observer and in
// text/hibalista.txt. Each provider's report is read once and its files are made from it. Every
// file appears under its name only once it is whole. A provider with a value that does not fit
// its field in the data files gets no file at all. The run ends sendable only without any error
// line and with no report file of an earlier run left behind. A failure that ends the run is
// thrown as platform::Failure; what was written until then stays, and the run is not sendable.
// The run records its start, before it deletes anything, and at a sendable end the files it
// wrote and the fingerprint of the data it read (SavedReport).
class SaveRun {
public:
    explicit SaveRun(SaveRunObserver& observer, std::function<QDate()> today = &QDate::currentDate);
    ~SaveRun();

    // The command of a save item, with the year (4 characters) and quarter (1 character) its
    // caption carries.
    void Ment(const QString& year, const QString& quarter);

    // One line in the error list and the log; an error line is prefixed "HIBA: " and leaves the
    // run not sendable.
    void LogLine(const QString& text, bool error);

private:
    void writeProviders(const QString& year, const QString& quarter);
    // Reads the provider's report. Its data files are kept under temporary names until both are
    // written with every value whole, then its listing and cover note; a value that does not fit
    // leaves the provider without any of them.
    void writeProvider(std::shared_ptr<ProviderReport> report);
    void writeListing(const std::shared_ptr<const ProviderReport>& report);
    // Closes the report file with the bytes made on the files' thread, noting them in the record.
    static void closeRecorded(platform::TextFile& file, SavedFile& record, const QString& path,
                              std::function<std::string()> makeBytes, size_t expectedBytes);
    void recordMadeReports();
    void cleanUp();
    void readListingFolder();
    void finishFiles();
    // Deletes the entries of the listing folder that bear the listing's name or its workbook's,
    // without regard to case; returns those that could not be deleted.
    QStringList deleteOldListing(const QString& name);

    SaveRunObserver& observer_;
    std::function<QDate()> today_;
    bool saveError_ = false;
    std::unique_ptr<platform::FileQueue> files_;
    bool reportFileKept_ = false;  // by the clean-up
    // Of the report files, after the clean-up.
    platform::Target reportTarget_ = platform::Target::MayExist;
    platform::TextFile errorListFile_;
    // The listing folder's entries by lower-case name (readListingFolder).
    std::optional<QHash<QString, QStringList>> listingEntries_;
    std::unique_ptr<ProviderReader> reader_;
    // Read with the run's first listing.
    std::unique_ptr<const ListingNames> listingNames_;
    QString coverNoteHeading_;
    QDate coverNoteDate_;  // the run's
    SavedReport saved_;
    // The report files of each provider, as the files' thread made them.
    struct MadeReport {
        QString adosajat;
        SavedFile institution;
        std::optional<SavedFile> purchase;
        SavedFile coverNote;
    };
    std::vector<std::unique_ptr<MadeReport>> made_;
};

// The save run with the real clock: the one line the main window's save items and the command
// line call.
void Ment(SaveRunObserver& observer, const QString& year, const QString& quarter);

}  // namespace exporting
