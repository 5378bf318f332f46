#include "query.h"

#include "connection.h"
#include "platform/failure.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace db {

namespace {

QSqlQuery prepared(const QString& statement, const QVariantList& values) {
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        throw platform::Failure(query.lastError().text().trimmed());
    for (const auto& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw platform::Failure(query.lastError().text().trimmed());
    return query;
}

}  // namespace

void Query::run(const QString& statement, const QVariantList& values) {
    close();
    QSqlQuery query = prepared(statement, values);
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        names_.append(record.fieldName(i));
        byName_.insert(record.fieldName(i).toLower(), i);
    }
    while (query.next()) {
        QVector<QVariant> row(record.count());
        for (int i = 0; i < record.count(); ++i)
            row[i] = query.value(i);
        rows_.append(std::move(row));
    }
    open_ = true;
}

void Query::close() {
    open_ = false;
    names_.clear();
    byName_.clear();
    rows_.clear();
    current_ = 0;
}

int Query::position(const QString& column) const {
    const auto found = byName_.constFind(column.toLower());
    if (found == byName_.constEnd())
        throw platform::Failure(QStringLiteral("Field '%1' not found").arg(column));
    return *found;
}

QVariant Query::value(int position) const {
    if (eof())
        throw platform::Failure(QStringLiteral("No current record"));
    return rows_.at(current_).at(position);
}

int execute(const QString& statement, const QVariantList& values) {
    return prepared(statement, values).numRowsAffected();
}

QString quoteName(const QString& name) {
    QString inner = name;
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

}  // namespace db
