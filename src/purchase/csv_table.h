#pragma once

#include <QChar>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

class QIODevice;

namespace purchase {

// One data row of a CSV file: its fields and the line of the file on which it starts.
struct CsvRow {
    int line = 0;
    QStringList fields;
};

// A CSV file as a spreadsheet program writes it, read one row at a time, so that a large file
// takes no more memory than its longest row.
//
// The encoding is UTF-8 (with or without a byte order mark) when the bytes are valid UTF-8,
// Windows-1250 otherwise; the separator is the one of ";", TAB and "," that the header line holds
// most often outside quotes, or the one a first line "sep=;" names. Fields may be quoted with '"'
// (a doubled '"' inside stands for one) and then hold separators and line breaks. Lines ending in
// CR LF, LF or CR are all read; rows whose fields are all empty are skipped. A file without a
// header row, a quote left open or a row longer than kMaxRowLength characters is a Failure
// saying why.
class CsvReader {
public:
    static constexpr qsizetype kMaxRowLength = 64 * 1024;

    // Reads the header row from the device, open for reading at its start. The device is read
    // through once first to tell the encoding, so it must be able to go back (a file, a buffer).
    explicit CsvReader(QIODevice& device);

    const QStringList& header() const { return header_; }
    int headerLine() const { return headerLine_; }
    QChar separator() const { return separator_; }

    // The next data row, or nothing at the end of the file.
    std::optional<CsvRow> next();

private:
    std::optional<CsvRow> nextRow();
    QString field();
    QString quotedPart(int opened);
    void lineBreak(QChar c);
    bool more() { return at_ < buffer_.size() || fill(); }
    bool fill();
    QChar peek() const { return buffer_[at_]; }
    QChar take();
    // Takes the characters before the first for which ends is true, or before the end of the file,
    // onto the value.
    template <typename Ends>
    void takeRun(QString& value, Ends ends);
    // Counts characters taken into the row; a row grown too long is a Failure.
    void countRow(qsizetype characters);

    QIODevice& device_;
    bool utf8_ = true;
    QStringDecoder decoder_{QStringDecoder::Utf8};
    QString buffer_;  // the decoded part of the file not yet read
    qsizetype at_ = 0;
    qsizetype rowLength_ = 0;
    int rowLine_ = 0;
    int line_ = 1;
    QStringList header_;
    int headerLine_ = 0;
    QChar separator_;
};

}  // namespace purchase
