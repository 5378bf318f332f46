#pragma once

#include <QString>
#include <QVariant>

#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// The engine's own handle of the shared connection; a Failure when it is not open.
sqlite3* engineHandle();

// One prepared statement on the shared connection, run through the engine's own interface: the
// values are bound to its "?" placeholders in order. Used by the statement runners and the table
// cursors; reading rows this way costs a fraction of the generic SQL layer's per-value work.
class Statement {
public:
    // Prepares the statement and binds the values; a statement the engine rejects is a Failure
    // with the engine's text.
    Statement(const QString& text, const QVariantList& values);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Moves to the next row; false when there is none. An engine error is a Failure.
    bool step();
    // Runs a statement that returns no rows to its end.
    void run();
    // Ends the current run, so that the database is no longer held for it.
    void reset();
    // Runs the prepared statement afresh, from its first row, with other values bound.
    void rebind(const QVariantList& values);

    int columnCount() const;
    QString columnName(int column) const;
    // The current row's value: NULL, a whole number (qlonglong), a double or a text.
    QVariant value(int column) const;

    // The current row's value as the engine holds it, for readers that convert it themselves: a
    // text (or a blob) as its UTF-8 bytes, valid until the statement moves on.
    struct Stored {
        enum class Kind { Null, Integer, Real, Text } kind = Kind::Null;
        qint64 integer = 0;
        double real = 0;
        std::string_view bytes;
    };
    Stored stored(int column) const;

    // The rowid of the row inserted last, and the number of rows the last statement changed.
    static qint64 lastInsertRowid();
    static int changes();

private:
    void bindAll(const QVariantList& values);
    [[noreturn]] void fail() const;

    sqlite3* handle_;
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace db
