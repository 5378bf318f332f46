#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

namespace purchase {

// One data row of a CSV file: its fields and the line of the file on which it starts.
struct CsvRow {
    int line = 0;
    QStringList fields;
};

// A CSV file as a spreadsheet program writes it: the header row's names and the data rows.
struct CsvTable {
    QStringList header;
    int headerLine = 0;
    QList<CsvRow> rows;
    QChar separator;
};

// Reads a CSV file's bytes. The encoding is UTF-8 (with or without a byte order mark) when the
// bytes are valid UTF-8, Windows-1250 otherwise; the separator is the one of ";", TAB and ","
// that the header line holds most often outside quotes, or the one a first line "sep=;"
// names. Fields may be quoted with '"' (a
// doubled '"' inside stands for one) and then hold separators and line breaks. Lines ending in
// CR LF, LF or CR are all read; rows whose fields are all empty are skipped. A file without a
// header row, or with a quote left open, is a Failure saying why.
CsvTable readCsvTable(QByteArrayView bytes);

}  // namespace purchase
