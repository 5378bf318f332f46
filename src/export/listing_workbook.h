#pragma once

#include <QString>
#include <QStringList>

// The purchase listing as a spreadsheet workbook (.xlsx) beside its tab-separated .xls, written
// on request rather than by the save run: a workbook costs far more than a text file.
namespace exporting {

class ListingNames;
struct ProviderReport;

// Listak/ + registration number + "_" + year + "_" + quarter + ".xlsx".
QString workbookFileName(const QString& adosajat, const QString& year, const QString& quarter);

// The provider's listing as the workbook at path: the listing's lines as its rows, the row of the
// column titles and those above it frozen, each column as wide as its title, the item number,
// the quantity and the prices as numbers, every other value as text (a code without the
// apostrophes the text file needs). Written under a temporary name, then renamed into place; a
// Failure names the file when it cannot be written.
void writeListingWorkbook(const QString& path, const ProviderReport& report,
                          const ListingNames& names);

// Writes the workbook of every data provider of the period that has a record, from the database,
// into Listak/ (which must exist); the bare names of the files written, in the providers' order.
// A provider with a value too wide for the data files gets none, as it gets no listing.
QStringList writeListingWorkbooks(const QString& year, const QString& quarter);

// Told when a period has no data provider, so no listing to write.
QString noListingText(const QString& year, const QString& quarter);

}  // namespace exporting
