#pragma once

#include "csv_table.h"

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

struct ImportResult {
    QList<ImportFault> faults;  // when there is any, nothing was stored
    int imported = 0;
    int firstNumber = 0;  // the item number of the first imported row
};

// Checks every row of the table with the rules of the purchase editor and, when no row fails,
// stores all of them as items of the record in one transaction, numbered on from the highest
// stored item number. A database error is a Failure and stores nothing.
ImportResult importItemTable(const CsvTable& table, const ReportKey& key);

// The same for a CSV file; a file that cannot be read or parsed is a fault of the file.
ImportResult importItemFile(const QString& csvPath, const ReportKey& key);

// One line of the fault list: "12. sor, Vasaroltmenny: <message>".
QString faultLine(const ImportFault& fault);
QStringList faultLines(const QList<ImportFault>& faults);

// The fault list's file beside the CSV file: "tetelek.csv" gives "tetelek_hibak.txt".
QString faultListPath(const QString& csvPath);

// Writes the fault list beside the CSV file (Windows-1250, CR LF), or, after an import without
// faults, removes a list left there by an earlier attempt. A file that cannot be written is a
// Failure.
void saveFaultList(const QString& csvPath, const ImportResult& result);

// A column an import file may hold: its label in the purchase editor and its column name; a
// header may name it by either.
struct AcceptedColumn {
    QString label;
    QString name;
};
QList<AcceptedColumn> acceptedColumns();

// Writes a template for an import file into a record of the quarter: the header by the editor's
// labels and one example row, ";"-separated, UTF-8 with a byte order mark (which spreadsheet
// programs take for Unicode text), CR LF. A file that cannot be written is a Failure.
void writeItemTemplate(const QString& path, const QString& quarter);

// What the user is told after an import without faults.
QString importSummary(const ImportResult& result, const ReportKey& key);

}  // namespace purchase
