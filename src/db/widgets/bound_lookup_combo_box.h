#pragma once

#include <QComboBox>
#include <QSet>

namespace db {

class Table;

// A drop-down list bound to one column of an open table cursor, offering the rows of a code
// table: it shows the list column of the code row whose key equals the column's value (nothing
// when there is none) and stores the key of the row the user chooses.
class BoundLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    BoundLookupComboBox(Table& table, const QString& column, Table& list, const QString& keyColumn,
                        const QString& listColumn, QWidget* parent = nullptr);

    // The key of the code row shown; empty when none is.
    QString key() const;
    // Offers the code rows of these keys first, then a separator and all the others, each part
    // in the code table's order.
    void offerFirst(const QStringList& keys);

private:
    void readList();
    void showValue();
    void showChangedValue(int column);
    void writeChosen(int item);

    Table& table_;
    QString column_;
    int index_ = -1;
    Table& list_;
    QString keyColumn_;
    QString listColumn_;
    QSet<QString> firstKeys_;
};

}  // namespace db
