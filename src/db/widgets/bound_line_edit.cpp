#include "bound_line_edit.h"

#include "db/table.h"
#include "platform/failure.h"

#include <QScopedValueRollback>

namespace db {

BoundLineEdit::BoundLineEdit(Table& table, const QString& column, QWidget* parent)
    : QLineEdit(parent), table_(table), column_(column) {
    index_ = table_.columnIndex(column_);
    if (const int width = table_.columns().at(index_).width; width > 0)
        setMaxLength(width);
    connect(&table_, &Table::currentChanged, this, &BoundLineEdit::showValue);
    connect(&table_, &Table::valueChanged, this, &BoundLineEdit::showChangedValue);
    // A stored or abandoned row shows its values in their display form again.
    connect(&table_, &Table::modeChanged, this, [this] {
        if (!writing_)
            showValue();
    });
    connect(this, &QLineEdit::textEdited, this, &BoundLineEdit::writeTyped);
    showValue();
}

void BoundLineEdit::setDisplayFormat(DisplayFormat format) {
    format_ = format;
    showValue();
}

void BoundLineEdit::showValue() {
    const QString value = format_(table_.value(column_));
    if (text() != value)
        setText(value);
    // What the box shows now is the stored value, not a typed one.
    setModified(false);
}

void BoundLineEdit::showChangedValue(int column) {
    if (column == index_ && !writing_)
        showValue();
}

void BoundLineEdit::updateRecord() {
    const QScopedValueRollback guard(writing_, true);
    table_.setText(column_, text());
}

void BoundLineEdit::writeTyped(const QString&) {
    try {
        updateRecord();
    } catch (const platform::Failure&) {
        // Not a value of the column yet; updateRecord reports it when the row is stored.
    }
}

void BoundLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    Q_EMIT focusLeft();
}

}  // namespace db
