#pragma once

#include <QByteArray>
#include <QVariant>
#include <QVector>

namespace db {

class Statement;

// The values of one row in one block of bytes: per value a kind byte, then a whole number or a
// double in 8 bytes, or a text (or blob) as its length in 4 bytes and its UTF-8 bytes. A cursor
// holding many rows keeps each in little more than its own bytes, where a value of its own for
// each column would take several times as much.
class PackedRow {
public:
    PackedRow() = default;
    // The current row of the statement, its columns from first on.
    PackedRow(const Statement& statement, int first, int count);
    explicit PackedRow(const QVector<QVariant>& values);

    // A value as the statement runners give it: NULL, a qlonglong, a double, a QString or a
    // QByteArray.
    QVariant value(int column) const;
    QVector<QVariant> values() const;

private:
    // The position of the column's kind byte.
    qsizetype offsetOf(int column) const;

    QByteArray bytes_;
};

}  // namespace db
