#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace codetables {

// A code table whose rows were replaced.
struct ReplacedTable {
    QString table;
    int rowsBefore = 0;
    int rowsAfter = 0;
};

// A stored record or purchase item whose coded column holds a code that its code table lacks.
struct DanglingCode {
    QString table;
    QString key;
    QString column;
    QString code;
};

struct ImportReport {
    QList<ReplacedTable> replaced;
    QList<DanglingCode> dangling;
};

// Replaces the code tables of the open database with the code-table files in folder (one
// <table>.tsv per table, in the format of parseCodeTable; only the tables present there), all in
// one transaction; the data tables are never touched. A file that is not a code table of the
// database or holds no rows, that is not a regular file of the folder, or a line that breaks the
// format, does not fit its column or is refused by the database, is a Failure naming the file
// (and the line), and nothing is changed. So is losing a code that stored records or items refer
// to, unless forced. Lists the stored records and items that refer to a code no longer present in
// a replaced table.
ImportReport importCodeTables(const QString& folder, bool force = false);

// The report as the lines printed for the user.
QStringList reportLines(const ImportReport& report);

}  // namespace codetables
