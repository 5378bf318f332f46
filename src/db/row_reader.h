#pragma once

#include "column_names.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <string_view>

namespace db {

class Statement;

// Reads the rows of one statement one at a time, for writers that go through many rows: the
// statement is prepared when it first runs and then run again with other values, and a value is
// read as the UTF-8 bytes of its text, without a QVariant or a QString per value. The text is the
// one the statement runners give: NULL the empty text, a whole number its decimal digits, a double
// floatText with the regional decimal separator as it was when the reader was made.
class RowReader {
public:
    explicit RowReader(QString statement);
    ~RowReader();
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    // Runs the statement with the values bound to its "?" placeholders, in order; a statement the
    // engine rejects is a Failure with the engine's text. No row is current until next().
    void run(const QVariantList& values);
    // Moves to the next row; false after the last one, which ends the run.
    bool next();
    // Ends the run before its last row, so that the database is no longer held for it.
    void close();

    // The position of a column by name, without regard to case; an unknown name is a Failure.
    int position(QStringView column) const { return names_.position(column); }

    // The current row's value as text in UTF-8, valid until the reader is used again.
    std::string_view utf8(int column);
    QString text(int column);
    QString text(QStringView column) { return text(position(column)); }
    // The current row's value when the engine holds it as a finite double.
    std::optional<double> real(int column) const;
    // The current row's value as a number, a text read as QVariant::toDouble reads it (0 when it is
    // none); nothing for NULL.
    std::optional<double> number(int column) const;

private:
    // Inline: it is asked for every value read.
    const Statement& current() const {
        if (!onRow_)
            noCurrentRecord();
        return *statement_;
    }
    [[noreturn]] static void noCurrentRecord();

    QString text_;
    std::unique_ptr<Statement> statement_;
    ColumnNames names_;
    bool onRow_ = false;
    QByteArray separator_;
    // The text of a number: 31 characters at most, the separator up to 4 bytes.
    char number_[40];
};

}  // namespace db
