#pragma once

#include "db/values.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QStringList>

namespace db {

class Table;

// The rows of an open table cursor as a read-only item model: one line per row, the columns in
// the order given (all of the table's columns when none are given), each titled with its name.
// The vertical header marks the current row, as the row indicator of a grid.
class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableModel(Table& table, const QStringList& columns = {}, QObject* parent = nullptr);

    Table& table() const { return table_; }
    // The model column that shows a column of the table; -1 when it is not shown.
    int modelColumn(const QString& column) const;
    // Shows a column of the table in another form than textOf.
    void setDisplayFormat(const QString& column, DisplayFormat format);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void readColumns();
    void resetRows();
    void updateValue(int tableColumn);
    void updateIndicator();

    Table& table_;
    QStringList wanted_;
    QList<int> columns_;  // table column of each model column
    int indicatorRow_ = -1;
    QHash<int, DisplayFormat> formats_;  // by table column
};

}  // namespace db
