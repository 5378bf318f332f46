#include "table_model.h"

#include "db/table.h"

namespace db {

TableModel::TableModel(Table& table, const QStringList& columns, QObject* parent)
    : QAbstractTableModel(parent), table_(table), wanted_(columns) {
    readColumns();
    connect(&table_, &Table::rowsReset, this, &TableModel::resetRows);
    connect(&table_, &Table::valueChanged, this, &TableModel::updateValue);
    connect(&table_, &Table::currentChanged, this, &TableModel::updateIndicator);
    connect(&table_, &Table::modeChanged, this, &TableModel::updateIndicator);
}

void TableModel::readColumns() {
    columns_.clear();
    if (!table_.isOpen())
        return;
    if (wanted_.isEmpty()) {
        for (int i = 0; i < table_.columns().size(); ++i)
            columns_.append(i);
    } else {
        for (const auto& name : wanted_)
            columns_.append(table_.columnIndex(name));
    }
}

int TableModel::modelColumn(const QString& column) const {
    for (int i = 0; i < columns_.size(); ++i) {
        if (table_.columns().at(columns_.at(i)).name.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TableModel::setDisplayFormat(const QString& column, DisplayFormat format) {
    formats_.insert(table_.columnIndex(column), format);
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.rowCount();
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= table_.rowCount())
        return {};
    const int column = columns_.at(index.column());
    return formats_.value(column, &textOf)(table_.value(index.row(), column));
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < columns_.size() ? table_.columns().at(columns_.at(section)).name
                                         : QVariant();
    if (section != table_.currentRow())
        return QString();
    switch (table_.mode()) {
        case Table::Mode::Insert:
            return QStringLiteral("*");
        case Table::Mode::Edit:
            return QStringLiteral("I");
        case Table::Mode::Browse:
            break;
    }
    return QStringLiteral("\u25B6");
}

void TableModel::resetRows() {
    beginResetModel();
    // The table may have been opened after the model was made.
    readColumns();
    indicatorRow_ = table_.currentRow();
    endResetModel();
}

void TableModel::updateValue(int tableColumn) {
    const int row = table_.currentRow();
    const int column = static_cast<int>(columns_.indexOf(tableColumn));
    if (row < 0 || column < 0)
        return;
    Q_EMIT dataChanged(index(row, column), index(row, column));
}

void TableModel::updateIndicator() {
    const int previous = indicatorRow_;
    indicatorRow_ = table_.currentRow();
    const int count = table_.rowCount();
    for (int row : {previous, indicatorRow_}) {
        if (row >= 0 && row < count)
            Q_EMIT headerDataChanged(Qt::Vertical, row, row);
    }
}

}  // namespace db
