#pragma once

#include "db/row_reader.h"

#include <QString>
#include <QStringList>

#include <string>
#include <unordered_map>

// What the save run and its writers share.
namespace exporting {

// The working folders the save run writes into, relative to the program's working folder. They
// must exist: the run creates none.
inline const QString kTextFolder = QStringLiteral("text/");
inline const QString kListingFolder = QStringLiteral("Listak/");
inline const QString kCoverNoteFolder = QStringLiteral("kuldes/temp/");

// The data provider's institution record of the period: registration number, year, quarter.
inline const QString kProviderRow = QStringLiteral(
    "select * from adatlapInt where adosajat = ? and adatszolgev = ? and adatszolgnegyedev = ?");
// The number of the provider's purchase items in the period, as the column bs.
inline const QString kItemCount = QStringLiteral(
    "select count(1) as bs from adatlapBR where adosajat = ? and beszerzev = ? "
    "and beszerznegyedev = ?");
// The provider's purchase items, whole.
extern const QString kPurchaseRows;

// The names the listing shows beside the unit, source, area-of-use and price-type codes, by the
// code's position in kPurchaseRows, read once per run: the small code tables are looked up while
// the items stream rather than joined for every data provider.
struct CodeNames {
    CodeNames();
    std::unordered_map<int, std::unordered_map<std::string, std::string>> byPosition;
};

// The statements of one save run. Each is prepared when it first runs, where a statement the
// database rejects stops the run, and is run again for every data provider until the run ends.
struct RunStatements {
    db::RowReader providerRow{kProviderRow};
    db::RowReader itemCount{kItemCount};
    db::RowReader purchaseRows{kPurchaseRows};
};

// Deletes the named entries of the folder; returns the names of those that could not be deleted.
// A file marked read-only or open in a spreadsheet program cannot be deleted and stays.
QStringList deleteEntries(const QString& folder, const QStringList& names);

// Every entry of the folder (files of any attributes, folders) that the wildcard pattern finds,
// matching without regard to case.
QStringList entriesOf(const QString& folder, const QString& pattern = QStringLiteral("*"));

// A file the send run, the copy and the cover-note printing take: a data file or a cover note.
inline bool isReportFile(const QString& name) {
    for (const char* kind : {"_BI.txt", "_BR.txt", "_KJ.txt"}) {
        if (name.endsWith(QLatin1StringView(kind), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// The log text for a file of an earlier run that cannot be deleted.
inline QString notDeletable(const QString& name) {
    return name + QStringLiteral(" file nem törölhető!");
}

}  // namespace exporting
