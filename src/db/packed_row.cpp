#include "packed_row.h"

#include "statement.h"

#include <QVarLengthArray>

#include <cstring>
#include <string_view>

namespace db {

namespace {

enum Kind : char { Null, Integer, Real, Text, Blob };

// A row is laid out here first, so that its block is allocated once at its size.
using Scratch = QVarLengthArray<char, 1024>;

template <typename T>
void appendRaw(Scratch& bytes, T value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
T readRaw(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void appendBytes(Scratch& bytes, Kind kind, std::string_view text) {
    bytes.append(kind);
    appendRaw(bytes, static_cast<qint32>(text.size()));
    bytes.append(text.data(), static_cast<qsizetype>(text.size()));
}

void appendValue(Scratch& bytes, const QVariant& value) {
    switch (boundKindOf(value)) {
        case BoundKind::Null:
            bytes.append(Null);
            return;
        case BoundKind::Integer:
            bytes.append(Integer);
            appendRaw(bytes, value.toLongLong());
            return;
        case BoundKind::Real:
            bytes.append(Real);
            appendRaw(bytes, value.toDouble());
            return;
        case BoundKind::Blob: {
            const QByteArray blob = value.toByteArray();
            appendBytes(bytes, Blob, {blob.constData(), static_cast<size_t>(blob.size())});
            return;
        }
        case BoundKind::Text: {
            const QByteArray text = value.toString().toUtf8();
            appendBytes(bytes, Text, {text.constData(), static_cast<size_t>(text.size())});
            return;
        }
    }
}

// The bytes a value takes after its kind byte.
qsizetype sizeAfterKind(const char* kind) {
    switch (*kind) {
        case Integer:
        case Real:
            return 8;
        case Text:
        case Blob:
            return 4 + readRaw<qint32>(kind + 1);
        default:
            return 0;
    }
}

QVariant valueAt(const char* kind) {
    switch (*kind) {
        case Integer:
            return qlonglong(readRaw<qint64>(kind + 1));
        case Real:
            return readRaw<double>(kind + 1);
        case Text:
            return QString::fromUtf8(kind + 5, readRaw<qint32>(kind + 1));
        case Blob:
            return QByteArray(kind + 5, readRaw<qint32>(kind + 1));
        default:
            return {};
    }
}

}  // namespace

PackedRow::PackedRow(const Statement& statement, int first, int count) {
    Scratch bytes;
    for (int column = first; column < first + count; ++column) {
        const Statement::Stored value = statement.stored(column);
        switch (value.kind) {
            case Statement::Stored::Kind::Null:
                bytes.append(Null);
                break;
            case Statement::Stored::Kind::Integer:
                bytes.append(Integer);
                appendRaw(bytes, value.integer);
                break;
            case Statement::Stored::Kind::Real:
                bytes.append(Real);
                appendRaw(bytes, value.real);
                break;
            case Statement::Stored::Kind::Text:
                appendBytes(bytes, statement.isBlob(column) ? Blob : Text, value.bytes);
                break;
        }
    }
    bytes_ = QByteArray(bytes.constData(), bytes.size());
}

PackedRow::PackedRow(const QVector<QVariant>& values) {
    Scratch bytes;
    for (const QVariant& value : values)
        appendValue(bytes, value);
    bytes_ = QByteArray(bytes.constData(), bytes.size());
}

qsizetype PackedRow::offsetOf(int column) const {
    qsizetype at = 0;
    for (int skipped = 0; skipped < column; ++skipped)
        at += 1 + sizeAfterKind(bytes_.constData() + at);
    return at;
}

QVariant PackedRow::value(int column) const {
    return valueAt(bytes_.constData() + offsetOf(column));
}

QVector<QVariant> PackedRow::values() const {
    QVector<QVariant> values;
    for (qsizetype at = 0; at < bytes_.size(); at += 1 + sizeAfterKind(bytes_.constData() + at))
        values.append(valueAt(bytes_.constData() + at));
    return values;
}

}  // namespace db
