#pragma once

#include "db/values.h"

#include <QLineEdit>

namespace db {

class Table;

// An edit box bound to one column of an open table cursor: it shows the current row's value and
// every typed change goes straight into that row. A typed text that the column cannot hold yet
// (a lone sign in a number box) stays in the box until it is corrected or written by
// updateRecord.
class BoundLineEdit : public QLineEdit {
    Q_OBJECT
public:
    // The box accepts at most the column's width in characters when the column declares one.
    BoundLineEdit(Table& table, const QString& column, QWidget* parent = nullptr);

    Table& table() const { return table_; }
    const QString& column() const { return column_; }

    // Shows the stored value in another form than textOf; the form typed in is unchanged.
    void setDisplayFormat(DisplayFormat format);

    // Writes the box's text into the column; a text the column cannot hold is a Failure.
    void updateRecord();

Q_SIGNALS:
    // The keyboard focus left the box.
    void focusLeft();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showValue();
    void showChangedValue(int column);
    void writeTyped(const QString& text);

    Table& table_;
    QString column_;
    int index_ = -1;
    bool writing_ = false;  // the column is being changed from this box
    DisplayFormat format_ = &textOf;
};

}  // namespace db
