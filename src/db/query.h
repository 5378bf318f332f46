#pragma once

#include "column_names.h"
#include "values.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

namespace db {

// A statement runner: runs one statement that returns rows and holds the whole result, so the
// row count is known before the first row is read. Values are bound to the statement's "?"
// placeholders in order, never pasted into its text.
class Query {
public:
    Query() = default;
    Query(const QString& statement, const QVariantList& values = {}) { run(statement, values); }

    // Runs the statement; a statement the engine rejects is a Failure with the engine's text.
    // A result still open is closed first. The first row is current.
    void run(const QString& statement, const QVariantList& values = {});
    void close();
    bool isOpen() const { return open_; }

    int rowCount() const { return static_cast<int>(rows_.size()); }
    bool eof() const { return current_ >= rowCount(); }
    void next() { ++current_; }
    void first() { current_ = 0; }

    int fieldCount() const { return names_.size(); }
    QString fieldName(int position) const { return names_.at(position); }
    // The position of a column of the result by name, without regard to case; an unknown name is
    // a Failure.
    int position(const QString& column) const { return names_.position(column); }

    // The current row's value as text (NULL as the empty text).
    QString text(const QString& column) const { return text(position(column)); }
    QString text(int position) const { return textOf(value(position)); }
    QVariant value(const QString& column) const { return value(position(column)); }
    QVariant value(int position) const;

private:
    bool open_ = false;
    ColumnNames names_;
    QVector<QVector<QVariant>> rows_;
    int current_ = 0;
};

// Runs one statement that returns no rows; returns the number of rows it changed.
int execute(const QString& statement, const QVariantList& values = {});

// A table or column name written into a statement: double-quoted, inner quotes doubled.
QString quoteName(const QString& name);

}  // namespace db
