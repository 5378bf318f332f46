#pragma once

#include "table_model.h"

#include <QTableView>

namespace db {

// A read-only grid over an open table cursor: a title row, a row indicator and whole-row
// selection. The selected line follows the cursor's current row, and choosing a line makes it
// the cursor's current row.
class BoundGrid : public QTableView {
    Q_OBJECT
public:
    BoundGrid(Table& table, const QStringList& columns = {}, QWidget* parent = nullptr);

    TableModel& tableModel() { return model_; }

private:
    void showCurrentRow();
    void chooseRow(const QModelIndex& current);

    TableModel model_;
    bool following_ = false;  // the view is being moved to the cursor's row
};

}  // namespace db
