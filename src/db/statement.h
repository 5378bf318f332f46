#pragma once

#include <QString>
#include <QVariant>

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

    int columnCount() const;
    QString columnName(int column) const;
    // The current row's value: NULL, a whole number (qlonglong), a double or a text.
    QVariant value(int column) const;

    // The rowid of the row inserted last, and the number of rows the last statement changed.
    static qint64 lastInsertRowid();
    static int changes();

private:
    [[noreturn]] void fail() const;

    sqlite3* handle_;
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace db
