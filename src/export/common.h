#pragma once

#include "platform/layout.h"

#include <QString>
#include <QStringList>

// The save run's folders and file names, which the send run, the copy, the printing and the
// overview take as well.
namespace exporting {

// The working folders the save run writes into.
using platform::kCoverNoteFolder;
using platform::kListingFolder;
using platform::kTextFolder;

// Bare file names: a report file (kind BI, BR or KJ) and the purchase listing.
QString reportFileName(const QString& adosajat, const QString& year, const QString& quarter,
                       const QString& kind);
QString listingFileName(const QString& adosajat, const QString& year, const QString& quarter);

// Whether deleteEntries asks the folder for a spreadsheet program's lock file beside each file,
// or need not: the caller has just listed the folder, hidden entries included, and found none.
enum class LockFiles { Ask, NoneListed };

// Deletes the named entries of the folder; returns the names of those that could not be deleted.
// A folder, a file marked read-only, a file open in a spreadsheet program and one the system
// refuses to delete (immutable, on a share that holds it) stay.
QStringList deleteEntries(const QString& folder, const QStringList& names,
                          LockFiles lockFiles = LockFiles::Ask);

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
