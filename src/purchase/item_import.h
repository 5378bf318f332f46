#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Purchase items imported from a spreadsheet's CSV file into one data-provider record.
namespace purchase {

// The report key of a data-provider record.
struct ReportKey {
    QString regNo;
    QString year;
    QString quarter;
};

// Something wrong with the file: the line it is on (0 for the file as a whole), the column
// (empty when it is about the whole line) and the message.
struct ImportFault {
    int line = 0;
    QString column;
    QString message;
};

// The rows with faults listed at most; the rest are only counted.
inline constexpr int kListedRows = 1000;

struct ImportResult {
    QList<ImportFault> faults;  // of the first kListedRows failing rows; any means nothing stored
    int failedRows = 0;     // rows with faults (the header and the file as a whole count as one)
    int duplicateRows = 0;  // of them, rows alike in every entered value to a stored item
    int imported = 0;
    int firstNumber = 0;  // the item number of the first imported row

    // Nothing was imported only because rows are stored already, which the user may allow.
    bool onlyDuplicates() const { return failedRows > 0 && failedRows == duplicateRows; }
};

struct ImportOptions {
    bool allowDuplicates = false;  // store rows alike to a stored item of the record all the same
};

// Reads the CSV file row by row, checks every row with the rules of the purchase editor and, when
// no row fails, stores all of them as items of the record in one transaction, numbered on from the
// highest stored item number. A path that is not a regular file, or a file that cannot be read or
// parsed, is a fault of the file; a database error is a Failure and stores nothing.
ImportResult importItemFile(const QString& csvPath, const ReportKey& key,
                            const ImportOptions& options = {});

// One line of the fault list: "12. sor, Vasaroltmenny: <message>".
QString faultLine(const ImportFault& fault);
// Every listed fault, then how many more rows failed.
QStringList faultLines(const ImportResult& result);

// The question of the import window when rows are stored already.
QString duplicateQuestion(const ImportResult& result);

// The fault list's file beside the CSV file: "tetelek.csv" gives "tetelek_hibak.txt".
QString faultListPath(const QString& csvPath);

// Writes the fault list beside the CSV file (Windows-1250, CR LF), or, after an import without
// faults, removes a list left there by an earlier attempt. Only a regular file gets a list
// beside it. True when a list was written; a file that cannot be written is a Failure.
bool saveFaultList(const QString& csvPath, const ImportResult& result);

// A column an import file may hold: its label in the purchase editor and its column name; a
// header may name it by either.
struct AcceptedColumn {
    QString label;
    QString name;
};
QList<AcceptedColumn> acceptedColumns();

// Writes a template for an import file into a record of the quarter: the header by the editor's
// labels and one example row, as platform::writeCsvFile writes a table.
void writeItemTemplate(const QString& path, const QString& quarter);

// What the user is told after an import without faults.
QString importSummary(const ImportResult& result, const ReportKey& key);

}  // namespace purchase
