#include "statement.h"

#include "connection.h"
#include "engine_failure.h"
#include "platform/failure.h"

#include <QSqlDriver>
#include <QStringEncoder>

#include <sqlite3.h>

#include <algorithm>

namespace db {

namespace {

// The UTF-8 of the text written over the buffer, whose room is kept.
void assignUtf8(std::string& buffer, QStringView text) {
    // ASCII, the bulk of the texts, is its own UTF-8.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) {
        buffer.resize(static_cast<size_t>(text.size()));
        std::transform(text.begin(), text.end(), buffer.begin(),
                       [](QChar c) { return static_cast<char>(c.unicode()); });
        return;
    }
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    buffer.resize(static_cast<size_t>(encoder.requiredSpace(text.size())));
    char* const end = encoder.appendToBuffer(buffer.data(), text);
    buffer.resize(static_cast<size_t>(end - buffer.data()));
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
    // Sized once: a buffer that moved would leave the engine reading where it was.
    texts_.resize(static_cast<size_t>(sqlite3_bind_parameter_count(statement_)));
    bindAll(values);
}

void Statement::bindAll(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values.at(i));
}

void Statement::bind(int position, const QVariant& value) {
    switch (boundKindOf(value)) {
        case BoundKind::Null:
            return bindNull(position);
        case BoundKind::Integer:
            return bindInteger(position, value.toLongLong());
        case BoundKind::Real:
            return bindReal(position, value.toDouble());
        case BoundKind::Blob:
        case BoundKind::Text:
            return bindText(position, value.toString());
    }
}

void Statement::bindNull(int position) {
    check(sqlite3_bind_null(statement_, position));
}

void Statement::bindInteger(int position, qint64 value) {
    check(sqlite3_bind_int64(statement_, position, value));
}

void Statement::bindReal(int position, double value) {
    check(sqlite3_bind_double(statement_, position, value));
}

void Statement::bindText(int position, QStringView text) {
    // A position the statement lacks fails as the engine reports it.
    if (position < 1 || static_cast<size_t>(position) > texts_.size())
        return bindNull(position);
    std::string& utf8 = texts_[static_cast<size_t>(position - 1)];
    assignUtf8(utf8, text);
    // The buffer stays as it is until the position is bound again.
    check(sqlite3_bind_text(statement_, position, utf8.data(), static_cast<int>(utf8.size()),
                            SQLITE_STATIC));
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
