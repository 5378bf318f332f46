#include "bound_lookup_combo_box.h"

#include "db/table.h"
#include "platform/failure.h"

namespace db {

BoundLookupComboBox::BoundLookupComboBox(Table& table, const QString& column, Table& list,
                                         const QString& keyColumn, const QString& listColumn,
                                         QWidget* parent)
    : QComboBox(parent),
      table_(table),
      column_(column),
      list_(list),
      keyColumn_(keyColumn),
      listColumn_(listColumn) {
    index_ = table_.columnIndex(column_);
    readList();
    connect(&list_, &Table::rowsReset, this, &BoundLookupComboBox::readList);
    connect(&table_, &Table::currentChanged, this, &BoundLookupComboBox::showValue);
    connect(&table_, &Table::valueChanged, this, &BoundLookupComboBox::showChangedValue);
    connect(this, &QComboBox::activated, this, &BoundLookupComboBox::writeChosen);
}

QString BoundLookupComboBox::key() const {
    return currentIndex() < 0 ? QString() : currentData().toString();
}

void BoundLookupComboBox::offerFirst(const QStringList& keys) {
    QSet<QString> wanted(keys.cbegin(), keys.cend());
    if (wanted == firstKeys_)
        return;
    firstKeys_ = std::move(wanted);
    readList();
}

void BoundLookupComboBox::readList() {
    const int key = list_.columnIndex(keyColumn_);
    const int shown = list_.columnIndex(listColumn_);
    const QSignalBlocker quiet(this);
    clear();
    QList<int> others;
    for (int row = 0; row < list_.rowCount(); ++row) {
        const QString rowKey = textOf(list_.value(row, key));
        if (firstKeys_.contains(rowKey))
            addItem(textOf(list_.value(row, shown)), rowKey);
        else
            others.append(row);
    }
    if (count() > 0 && !others.isEmpty())
        insertSeparator(count());
    for (const int row : others)
        addItem(textOf(list_.value(row, shown)), textOf(list_.value(row, key)));
    showValue();
}

void BoundLookupComboBox::showValue() {
    const QString value = table_.text(column_);
    setCurrentIndex(value.isEmpty() ? -1 : findData(value));
}

void BoundLookupComboBox::showChangedValue(int column) {
    if (column == index_)
        showValue();
}

void BoundLookupComboBox::writeChosen(int item) {
    platform::runCommand([&] { table_.setText(column_, itemData(item).toString()); });
}

}  // namespace db
