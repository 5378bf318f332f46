#include "query.h"

#include "connection.h"
#include "platform/failure.h"
#include "statement.h"

namespace db {

void Query::run(const QString& statement, const QVariantList& values) {
    close();
    Statement prepared(statement, values);
    const int columns = prepared.columnCount();
    for (int i = 0; i < columns; ++i)
        names_.append(prepared.columnName(i));
    while (prepared.step()) {
        QVector<QVariant> row(columns);
        for (int i = 0; i < columns; ++i)
            row[i] = prepared.value(i);
        rows_.append(std::move(row));
    }
    open_ = true;
}

void Query::close() {
    open_ = false;
    names_.clear();
    rows_.clear();
    current_ = 0;
}

QVariant Query::value(int position) const {
    if (eof())
        throw platform::Failure(QStringLiteral("No current record"));
    return rows_.at(current_).at(position);
}

int execute(const QString& statement, const QVariantList& values) {
    Statement(statement, values).run();
    return Statement::changes();
}

QString quoteName(const QString& name) {
    QString inner = name;
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

}  // namespace db
