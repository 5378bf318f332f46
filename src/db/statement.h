#pragma once

#include <QString>
#include <QVariant>

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

namespace db {

// The kind of value a QVariant stands for in the engine; any type not named is a text.
enum class BoundKind { Null, Integer, Real, Blob, Text };
BoundKind boundKindOf(const QVariant& value);

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

    // Binds one value to the "?" at the position (from 1) for the next run, the values bound
    // before staying: a writer of many rows binds only what changes. The statement must not be
    // running: reset() it first. A value the engine refuses is a Failure.
    void bindNull(int position);
    void bindInteger(int position, qint64 value);
    void bindReal(int position, double value);
    // The text's UTF-8 is kept in a buffer of the position's own, which the engine reads in place.
    void bindText(int position, QStringView text);

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
    // Inline: readers of many rows call it for every value.
    Stored stored(int column) const {
        // One call into the engine for the column; the value's own accessors take no lock.
        sqlite3_value* value = sqlite3_column_value(statement_, column);
        switch (sqlite3_value_type(value)) {
            case SQLITE_INTEGER:
                return {Stored::Kind::Integer, sqlite3_value_int64(value), 0, {}};
            case SQLITE_FLOAT:
                return {Stored::Kind::Real, 0, sqlite3_value_double(value), {}};
            case SQLITE_NULL:
                return {};
            case SQLITE_BLOB: {
                const void* bytes = sqlite3_value_blob(value);
                return {Stored::Kind::Text, 0, 0, bytesOf(bytes, sqlite3_value_bytes(value))};
            }
            default: {
                // The text's bytes are asked for before their number, as the engine requires.
                const void* bytes = sqlite3_value_text(value);
                return {Stored::Kind::Text, 0, 0, bytesOf(bytes, sqlite3_value_bytes(value))};
            }
        }
    }

    bool isBlob(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_BLOB; }

    // The rowid of the row inserted last, and the number of rows the last statement changed.
    static qint64 lastInsertRowid();
    static int changes();

private:
    static std::string_view bytesOf(const void* data, int size) {
        return {static_cast<const char*>(data), static_cast<size_t>(size)};
    }
    void bindAll(const QVariantList& values);
    void bind(int position, const QVariant& value);
    void check(int result) const {
        if (result != SQLITE_OK)
            fail();
    }
    [[noreturn]] void fail() const;

    sqlite3* handle_;
    sqlite3_stmt* statement_ = nullptr;
    // The UTF-8 of the texts bound, by position, one for each "?": reused from run to run.
    std::vector<std::string> texts_;
};

}  // namespace db
