#include "statement.h"

#include "connection.h"
#include "engine_failure.h"
#include "platform/failure.h"

#include <QSqlDriver>

#include <sqlite3.h>

namespace db {

namespace {

int bind(sqlite3_stmt* statement, int index, const QVariant& value) {
    switch (boundKindOf(value)) {
        case BoundKind::Null:
            return sqlite3_bind_null(statement, index);
        case BoundKind::Integer:
            return sqlite3_bind_int64(statement, index, value.toLongLong());
        case BoundKind::Real:
            return sqlite3_bind_double(statement, index, value.toDouble());
        case BoundKind::Blob:
        case BoundKind::Text:
            break;
    }
    const QByteArray text = value.toString().toUtf8();
    return sqlite3_bind_text(statement, index, text.constData(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT);
}

}  // namespace

BoundKind boundKindOf(const QVariant& value) {
    if (value.isNull())
        return BoundKind::Null;
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Bool:
            return BoundKind::Integer;
        case QMetaType::Double:
        case QMetaType::Float:
            return BoundKind::Real;
        case QMetaType::QByteArray:
            return BoundKind::Blob;
        default:
            return BoundKind::Text;
    }
}

sqlite3* engineHandle() {
    const QVariant handle = connection().driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw platform::Failure(QStringLiteral("The database connection has no engine handle"));
    return *static_cast<sqlite3* const*>(handle.constData());
}

Statement::Statement(const QString& text, const QVariantList& values) : handle_(engineHandle()) {
    const QByteArray utf8 = text.toUtf8();
    if (sqlite3_prepare_v2(handle_, utf8.constData(), static_cast<int>(utf8.size()), &statement_,
                           nullptr) != SQLITE_OK)
        fail();
    if (statement_ == nullptr)
        throw platform::Failure(QStringLiteral("Empty statement"));
    bindAll(values);
}

void Statement::bindAll(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i) {
        if (bind(statement_, i + 1, values.at(i)) != SQLITE_OK)
            fail();
    }
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

void Statement::fail() const {
    throw engineFailure(handle_);
}

bool Statement::step() {
    switch (sqlite3_step(statement_)) {
        case SQLITE_ROW:
            return true;
        case SQLITE_DONE:
            return false;
        default:
            fail();
    }
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(statement_);
}

void Statement::rebind(const QVariantList& values) {
    reset();
    sqlite3_clear_bindings(statement_);
    bindAll(values);
}

int Statement::columnCount() const {
    return sqlite3_column_count(statement_);
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(statement_, column));
}

QVariant Statement::value(int column) const {
    switch (sqlite3_column_type(statement_, column)) {
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(statement_, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(statement_, column);
        case SQLITE_NULL:
            return {};
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(statement_, column)),
                              sqlite3_column_bytes(statement_, column));
        default:
            return QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(statement_, column)),
                sqlite3_column_bytes(statement_, column));
    }
}

qint64 Statement::lastInsertRowid() {
    return sqlite3_last_insert_rowid(engineHandle());
}

int Statement::changes() {
    return sqlite3_changes(engineHandle());
}

}  // namespace db
