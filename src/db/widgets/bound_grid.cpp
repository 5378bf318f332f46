#include "bound_grid.h"

#include "db/table.h"
#include "platform/failure.h"

#include <QHeaderView>

namespace db {

BoundGrid::BoundGrid(Table& table, const QStringList& columns, QWidget* parent)
    : QTableView(parent), model_(table, columns) {
    setModel(&model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setMinimumWidth(12);
    connect(&table, &Table::currentChanged, this, &BoundGrid::showCurrentRow);
    connect(&model_, &QAbstractItemModel::modelReset, this, &BoundGrid::showCurrentRow);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &BoundGrid::chooseRow);
    showCurrentRow();
}

void BoundGrid::showCurrentRow() {
    const int row = model_.table().currentRow();
    following_ = true;
    if (row < 0) {
        selectionModel()->clear();
    } else {
        const int column = std::max(currentIndex().column(), 0);
        selectionModel()->setCurrentIndex(
            model_.index(row, column),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(currentIndex());
    }
    following_ = false;
}

void BoundGrid::chooseRow(const QModelIndex& current) {
    if (following_ || !current.isValid())
        return;
    platform::runCommand([&] { model_.table().setCurrentRow(current.row()); });
}

}  // namespace db
