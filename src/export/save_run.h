#pragma once

#include "data_fields.h"
#include "platform/codepage.h"
#include "platform/file_queue.h"
#include "platform/pending.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class QAction;
class QLabel;
class QListWidget;
class QProgressBar;

namespace db {
class RowReader;
}

namespace exporting {

struct RunStatements;
class ListingItems;

// The main-window controls the save run drives.
struct SaveRunControls {
    QListWidget* log;     // ListBox1: the run's log lines
    QProgressBar* gauge;  // Gauge1: progress of the file being written
    QLabel* step;         // Label1: the file being written
    QAction* send;        // TMenuItem_Kuldes: the menu action of the "Küldés" submenu
    QAction* coverNote;   // TMenuItem_KisJegyz: "Kísérőjegyzék nyomtatása"
};

// The save run of one year and quarter: clears the text files of earlier runs, then writes for
// every data provider of the period its institution and purchase data files (text/), its purchase
// listing (Listak/) and its cover note (kuldes/temp/), logging in the log list and in
// text/hibalista.txt. Every file appears under its name only once it is whole. A provider with a
// value that does not fit its field in the data files gets no file at all. The send and
// cover-note entries are enabled only after a run without any error line that left no report
// file of an earlier run behind. A failure that ends the run is thrown as platform::Failure;
// what was written until then stays, and the send and cover-note entries stay disabled.
class SaveRun {
public:
    explicit SaveRun(const SaveRunControls& controls,
                     std::function<QDate()> today = &QDate::currentDate);
    ~SaveRun();

    // The command of a save item, with the year (4 characters) and quarter (1 character) its
    // caption carries.
    void Ment(const QString& year, const QString& quarter);

    // One line in the error list and the log list; an error line is prefixed "HIBA: " and sets
    // SaveError.
    void LogLine(const QString& text, bool error);
    bool SaveError() const { return saveError_; }

    // The writers of one data provider's files; registration number, year and quarter as text.
    void WriteInstitutionFile(const QString& adosajat, const QString& year, const QString& quarter);
    void WritePurchaseFile(const QString& adosajat, const QString& year, const QString& quarter);
    void WritePurchaseListing(const QString& adosajat, const QString& year, const QString& quarter);
    void WriteCoverNote(const QString& adosajat, const QString& year, const QString& quarter);

private:
    // The provider's data files, kept under temporary names until both are written with every
    // value whole, then its listing and cover note; a value that does not fit leaves the
    // provider without any of them.
    void writeProvider(const QString& adosajat, const QString& year, const QString& quarter);
    // An error line for each value of the row at the positions, naming where it is and its
    // column.
    void logMisfits(db::RowReader& row, const std::vector<int>& positions,
                    std::span<const DataField> fields, const QString& where);
    RunStatements& statements();
    // The text of the provider's item count in the period, counted once per provider.
    QString itemCount(const QVariantList& key);
    // A field of the provider's record (institutionField) as text, read once for all the writers
    // of its files.
    QString recordText(const QVariantList& key, int field);
    void rememberRecord(const QVariantList& key, db::RowReader& row);
    // Reads the provider's items for its listing; the code names are read with the first.
    void collectListingItems(const QVariantList& key);
    void cleanUp();
    void readListingFolder();
    void finishFiles();
    // Deletes the entries of the listing folder that bear the listing's name, without regard to
    // case; returns those that could not be deleted.
    QStringList deleteOldListing(const QString& name);
    void showStep(int rowCount, const QString& fileName);
    void showProgress(int position);
    void draw(bool now);

    SaveRunControls controls_;
    std::function<QDate()> today_;
    bool saveError_ = false;
    int progress_ = 0;              // the gauge's position, given to it when it is drawn
    bool valueDoesNotFit_ = false;  // in the data files of the provider being written
    std::optional<platform::TextFile> institutionFile_;
    std::optional<platform::TextFile> purchaseFile_;
    // The record and item count of the provider last read, with its key.
    QVariantList recordKey_;
    QStringList record_;
    QVariantList countKey_;
    QString count_;
    std::unique_ptr<platform::FileQueue> files_;
    bool reportFileKept_ = false;  // by the clean-up
    platform::TextFile errorListFile_;
    platform::PendingDrawing drawing_;
    // The listing folder's entries by lower-case name (readListingFolder).
    std::optional<QHash<QString, QStringList>> listingEntries_;
    std::unique_ptr<RunStatements> statements_;
    // The listing lines of the provider whose items were read last, with its key.
    std::unique_ptr<ListingItems> listingItems_;
    QVariantList listingKey_;
};

// The save run with the real clock: the one line the main window's save items call.
void Ment(const SaveRunControls& controls, const QString& year, const QString& quarter);

// A value (in Windows-1250, one byte per character) fitted to its field: cut to the width, or
// filled with blanks after it (left-aligned) or before it (right-aligned).
QByteArray PadField(const QByteArray& value, int width, bool leftAligned);
// The same written into a field of width blanks.
// Inline: it runs for every value written.
inline void PadField(char* field, std::string_view value, int width, bool leftAligned) {
    const size_t length = std::min(value.size(), static_cast<size_t>(width));
    std::copy_n(value.data(), length, field + (leftAligned ? 0 : width - static_cast<int>(length)));
}

// Bare file names: a report file (kind BI, BR or KJ) and the purchase listing.
QString reportFileName(const QString& adosajat, const QString& year, const QString& quarter,
                       const QString& kind);
QString listingFileName(const QString& adosajat, const QString& year, const QString& quarter);

}  // namespace exporting
