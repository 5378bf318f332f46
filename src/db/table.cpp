#include "table.h"

#include "collation.h"
#include "connection.h"
#include "platform/failure.h"
#include "query.h"
#include "statement.h"

#include <QPointer>
#include <QRegularExpression>

#include <algorithm>

#include <optional>

namespace db {

namespace {

using platform::Failure;

// The kind of value a declared type holds, by the engine's affinity rules; none for an
// expression column of a view, which declares no type.
std::optional<ValueKind> kindOfDeclaredType(const QString& type) {
    const QString upper = type.toUpper();
    if (upper.isEmpty() || upper.contains(u"BLOB"))
        return std::nullopt;
    if (upper.contains(u"INT"))
        return ValueKind::Integer;
    if (upper.contains(u"CHAR") || upper.contains(u"CLOB") || upper.contains(u"TEXT"))
        return ValueKind::Text;
    return ValueKind::Real;
}

int widthOfDeclaredType(const QString& type) {
    static const QRegularExpression width(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    const auto match = width.match(type);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString kindName(ValueKind kind) {
    switch (kind) {
        case ValueKind::Text:
            return QStringLiteral("text");
        case ValueKind::Integer:
            return QStringLiteral("a whole number");
        case ValueKind::Real:
            return QStringLiteral("a floating-point number");
    }
    return {};
}

// Characters as the user sees them: code points of the composed form.
qsizetype characterCount(const QString& text) {
    return text.normalized(QString::NormalizationForm_C).toUcs4().size();
}

// A value as the column holds it: a text within its width, a whole number within 32 bits, a
// finite number. Anything else is a Failure naming the column, and nothing is stored.
QVariant valueFitting(const ColumnInfo& column, const QVariant& value) {
    const QString text = textOf(value);
    if (column.kind == ValueKind::Text) {
        if (column.width > 0 && characterCount(text) > column.width)
            throw Failure(QStringLiteral("'%1' is too long for the field '%2', which holds %3")
                              .arg(text, column.name,
                                   column.width == 1
                                       ? QStringLiteral("1 character")
                                       : QStringLiteral("%1 characters").arg(column.width)));
        return value.isNull() ? QVariant() : QVariant(text);
    }
    try {
        return valueFromText(text, column.kind);
    } catch (const Failure& failure) {
        throw Failure(QStringLiteral("%1 for the field '%2'").arg(failure.text(), column.name));
    }
}

}  // namespace

void Table::open(const QString& name, const QList<DeclaredColumn>& declared,
                 const QList<FilterTerm>& filter) {
    close();
    name_ = name;
    readColumns(declared);
    filter_ = filter;
    readRows();
    open_ = true;
    current_ = rows_.isEmpty() ? -1 : 0;
    Q_EMIT rowsReset();
    Q_EMIT currentChanged();
}

void Table::readColumns(const QList<DeclaredColumn>& declared) {
    Query kind(QStringLiteral("select type from sqlite_master where name = ? collate nocase "
                              "and type in ('table', 'view')"),
               {name_});
    if (kind.rowCount() == 0)
        throw Failure(QStringLiteral("Cannot find the table or view '%1'").arg(name_));
    isView_ = kind.text(0) == u"view";

    Query info(QStringLiteral("pragma table_info(%1)").arg(quoteName(name_)));
    QHash<QString, std::optional<ValueKind>> kinds;
    for (; !info.eof(); info.next()) {
        const QString column = info.text(QStringLiteral("name"));
        const QString type = info.text(QStringLiteral("type"));
        const auto columnKind = kindOfDeclaredType(type);
        kinds.insert(column.toLower(), columnKind);
        byName_.insert(column.toLower(), static_cast<int>(columns_.size()));
        columns_.append({column, columnKind.value_or(ValueKind::Text), widthOfDeclaredType(type)});
    }
    for (const auto& wanted : declared) {
        const auto found = kinds.constFind(wanted.name.toLower());
        if (found == kinds.constEnd())
            throw Failure(
                QStringLiteral("The column '%1' of '%2' is missing").arg(wanted.name, name_));
        if (found->has_value() && **found != wanted.kind)
            throw Failure(QStringLiteral("The column '%1' of '%2' holds %3 instead of %4")
                              .arg(wanted.name, name_, kindName(**found), kindName(wanted.kind)));
    }
}

QString Table::selectStatement(QVariantList& values) const {
    QString statement = QStringLiteral("select %1* from %2")
                            .arg(isView_ ? QString() : QStringLiteral("rowid, "), quoteName(name_));
    QStringList terms;
    for (const auto& term : filter_) {
        terms.append(quoteName(columns_.at(columnIndex(term.column)).name) +
                     QStringLiteral(" = ?"));
        values.append(term.value);
    }
    if (!terms.isEmpty())
        statement += QStringLiteral(" where ") + terms.join(QStringLiteral(" and "));
    QStringList order;
    for (const auto& name : sort_) {
        // Names are shown to the user in Hungarian order.
        const ColumnInfo& column = columns_.at(columnIndex(name));
        order.append(quoteName(column.name) +
                     (column.kind == ValueKind::Text
                          ? QStringLiteral(" collate ") + QLatin1String(kHungarianCollation)
                          : QString()));
    }
    // Rows of equal sort values keep the order in which they were stored.
    if (!isView_)
        order.append(QStringLiteral("rowid"));
    if (!order.isEmpty())
        statement += QStringLiteral(" order by ") + order.join(QStringLiteral(", "));
    return statement;
}

void Table::readRows() {
    QVariantList values;
    Statement rows(selectStatement(values), values);
    const int offset = isView_ ? 0 : 1;
    const int count = static_cast<int>(columns_.size());
    rows_.clear();
    while (rows.step())
        rows_.append({isView_ ? -1 : rows.stored(0).integer, PackedRow(rows, offset, count)});
    rows_.squeeze();
}

void Table::close() {
    open_ = false;
    isView_ = false;
    columns_.clear();
    byName_.clear();
    rows_.clear();
    sort_.clear();
    filter_.clear();
    current_ = -1;
    mode_ = Mode::Browse;
    storing_ = false;
}

int Table::columnIndex(const QString& column) const {
    const auto found = byName_.constFind(column.toLower());
    if (found == byName_.constEnd())
        throw Failure(QStringLiteral("Field '%1' not found").arg(column));
    return *found;
}

void Table::setSort(const QString& columns) {
    sort_ = columns.split(u';', Qt::SkipEmptyParts);
    for (auto& column : sort_)
        column = column.trimmed();
    refresh();
}

void Table::setFilter(const QList<FilterTerm>& terms) {
    filter_ = terms;
    readRows();
    current_ = rows_.isEmpty() ? -1 : 0;
    Q_EMIT rowsReset();
    Q_EMIT currentChanged();
}

void Table::refresh() {
    const int keep = current_;
    const qint64 keptRowid = keep >= 0 ? rows_.at(keep).rowid : -1;
    readRows();
    current_ = rows_.isEmpty() ? -1 : std::clamp(keep, 0, rowCount() - 1);
    if (keptRowid >= 0) {
        const auto found = std::find_if(rows_.cbegin(), rows_.cend(), [keptRowid](const Row& row) {
            return row.rowid == keptRowid;
        });
        if (found != rows_.cend())
            current_ = static_cast<int>(found - rows_.cbegin());
    }
    Q_EMIT rowsReset();
    Q_EMIT currentChanged();
}

void Table::setCurrentRow(int row) {
    if (row == current_ || row < 0 || row >= rowCount())
        return;
    if (isEditing())
        post();
    current_ = row;
    Q_EMIT currentChanged();
}

bool Table::locate(const QString& column, const QString& value) {
    const int index = columnIndex(column);
    for (int row = 0; row < rowCount(); ++row) {
        if (textOf(rows_.at(row).values.value(index)) == value) {
            setCurrentRow(row);
            return true;
        }
    }
    return false;
}

QVariant Table::value(const QString& column) const {
    const int index = columnIndex(column);
    return current_ < 0 ? QVariant() : rows_.at(current_).values.value(index);
}

void Table::setText(const QString& column, const QString& text) {
    setValue(column, text);
}

void Table::setValue(const QString& column, const QVariant& value) {
    const int index = columnIndex(column);
    const QVariant fitting = valueFitting(columns_.at(index), value);
    if (current_ < 0)
        throw Failure(QStringLiteral("No current record"));
    if (!isEditing())
        edit();
    QVector<QVariant> values = rows_.at(current_).values.values();
    QVariant& stored = values[index];
    if (stored == fitting && stored.isNull() == fitting.isNull())
        return;
    stored = fitting;
    rows_[current_].values = PackedRow(values);
    Q_EMIT valueChanged(index);
}

void Table::setMode(Mode mode) {
    if (mode_ == mode)
        return;
    mode_ = mode;
    Q_EMIT modeChanged();
}

void Table::edit() {
    if (isEditing())
        return;
    if (current_ < 0)
        throw Failure(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (isView_)
        throw Failure(QStringLiteral("Cannot modify a read-only dataset"));
    saved_ = rows_.at(current_);
    setMode(Mode::Edit);
}

bool Table::hasUnstoredChanges() const {
    return mode_ == Mode::Insert ||
           (mode_ == Mode::Edit && rows_.at(current_).values.values() != saved_.values.values());
}

void Table::insert() {
    insertAt(std::max(current_, 0));
}

void Table::append() {
    insertAt(rowCount());
}

void Table::insertAt(int position) {
    if (isView_)
        throw Failure(QStringLiteral("Cannot modify a read-only dataset"));
    if (isEditing())
        post();
    Row row{-1, PackedRow(QVector<QVariant>(columns_.size()))};
    current_ = position;
    rows_.insert(current_, row);
    setMode(Mode::Insert);
    Q_EMIT rowsReset();
    Q_EMIT currentChanged();
}

qint64 Table::insertRow() {
    QStringList names;
    QStringList marks;
    for (int i = 0; i < columns_.size(); ++i) {
        names.append(quoteName(columns_.at(i).name));
        marks.append(QStringLiteral("?"));
    }
    const QVariantList values = rows_.at(current_).values.values();
    execute(QStringLiteral("insert into %1 (%2) values (%3)")
                .arg(quoteName(name_), names.join(u','), marks.join(u',')),
            values);
    return Statement::lastInsertRowid();
}

qint64 Table::updateRow() {
    QStringList assignments;
    for (int i = 0; i < columns_.size(); ++i)
        assignments.append(quoteName(columns_.at(i).name) + QStringLiteral(" = ?"));
    QVariantList values = rows_.at(current_).values.values();
    const qint64 rowid = rows_.at(current_).rowid;
    values.append(rowid);
    execute(QStringLiteral("update %1 set %2 where rowid = ?")
                .arg(quoteName(name_), assignments.join(QStringLiteral(", "))),
            values);
    return rowid;
}

void Table::post() {
    if (mode_ == Mode::Browse || storing_)
        return;
    inTransaction([this] {
        const qint64 rowid = mode_ == Mode::Insert ? insertRow() : updateRow();
        storing_ = true;
        // Until the commit has gone through, the row is still being edited with the user's
        // input, so a store refused by a lock or a disk error can simply be repeated.
        whenTransactionEnds([self = QPointer<Table>(this), row = current_, rowid](bool committed) {
            if (self)
                self->finishStore(row, rowid, committed);
        });
    });
}

void Table::finishStore(int row, qint64 rowid, bool committed) {
    storing_ = false;
    if (!committed)
        return;
    // Rows read anew meanwhile carry their ids already.
    if (row < rowCount() && rows_.at(row).rowid < 0)
        rows_[row].rowid = rowid;
    setMode(Mode::Browse);
}

void Table::dropRow(int position) {
    rows_.remove(position);
    if (current_ > position || current_ >= rowCount())
        --current_;
    setMode(Mode::Browse);
    Q_EMIT rowsReset();
    Q_EMIT currentChanged();
}

void Table::cancel() {
    if (mode_ == Mode::Insert) {
        dropRow(current_);
    } else if (mode_ == Mode::Edit) {
        rows_[current_] = saved_;
        setMode(Mode::Browse);
        Q_EMIT currentChanged();
    }
}

void Table::remove() {
    if (current_ < 0)
        throw Failure(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (mode_ == Mode::Insert) {
        cancel();
        return;
    }
    const qint64 rowid = rows_.at(current_).rowid;
    inTransaction([&] {
        execute(QStringLiteral("delete from %1 where rowid = ?").arg(quoteName(name_)), {rowid});
        // The row leaves the cursor only once its deletion is committed.
        whenTransactionEnds([self = QPointer<Table>(this), rowid](bool committed) {
            if (self && committed)
                self->dropStoredRow(rowid);
        });
    });
}

void Table::dropStoredRow(qint64 rowid) {
    const auto found = std::find_if(rows_.cbegin(), rows_.cend(),
                                    [rowid](const Row& row) { return row.rowid == rowid; });
    if (found != rows_.cend())
        dropRow(static_cast<int>(found - rows_.cbegin()));
}

}  // namespace db
