#pragma once

#include "packed_row.h"
#include "values.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>

namespace db {

// A column that a window relies on: opening a table checks that it exists with this kind.
struct DeclaredColumn {
    QString name;
    ValueKind kind;
};

struct ColumnInfo {
    QString name;
    ValueKind kind = ValueKind::Text;
    int width = 0;  // the declared maximum of characters of a text column; 0 when none
};

// One term of a row filter: the column equals the value (a quoted value compared with a numeric
// column is taken as a number).
struct FilterTerm {
    QString column;
    QString value;
};

// A table cursor over the shared connection: all rows of a table or view that pass the row
// filter, in the sort order, with a current row that bound controls show and edit. Nothing
// reaches the database until the row is posted.
class Table : public QObject {
    Q_OBJECT
public:
    enum class Mode { Browse, Edit, Insert };

    explicit Table(QObject* parent = nullptr) : QObject(parent) {}

    // Opens a table or view, restricted by the row filter when one is given; a missing one, or a
    // declared column that is missing or holds another kind of value, is a Failure naming it.
    // The first row is current.
    void open(const QString& name, const QList<DeclaredColumn>& declared = {},
              const QList<FilterTerm>& filter = {});
    void close();
    bool isOpen() const { return open_; }
    const QString& name() const { return name_; }

    const QList<ColumnInfo>& columns() const { return columns_; }
    // The position of a column by name, without regard to case; an unknown name is a Failure.
    int columnIndex(const QString& column) const;
    const ColumnInfo& column(const QString& name) const { return columns_.at(columnIndex(name)); }

    // Orders the rows by columns named in one text with ";" between them; re-reads the rows and
    // keeps the current record.
    void setSort(const QString& columns);
    // Restricts the rows to those matching every term; re-reads the rows.
    void setFilter(const QList<FilterTerm>& terms);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    bool isEmpty() const { return rows_.isEmpty(); }
    // -1 when there is no row.
    int currentRow() const { return current_; }
    void setCurrentRow(int row);
    // Makes current the first row whose column equals the value; false when there is none.
    bool locate(const QString& column, const QString& value);

    QVariant value(int row, int column) const { return rows_.at(row).values.value(column); }
    QVariant value(const QString& column) const;
    // The current row's column as text; empty when there is no current row.
    QString text(const QString& column) const { return textOf(value(column)); }
    // Stores a text into the current row, converted to the column's kind; a browsing row is put
    // into editing first.
    void setText(const QString& column, const QString& text);
    void setValue(const QString& column, const QVariant& value);

    Mode mode() const { return mode_; }
    bool isEditing() const { return mode_ != Mode::Browse; }
    // A new row, or an edited one whose values differ from those it was stored with.
    bool hasUnstoredChanges() const;
    void edit();
    // Starts a new empty row at the current position.
    void insert();
    // Starts a new empty row after the last one.
    void append();
    // Stores the row being edited or inserted. It counts as stored (browsing, a new row with its
    // id) only once the transaction that wrote it has committed; a Failure, of the commit too,
    // leaves it being edited with the values it holds.
    void post();
    void cancel();
    // Removes the current row from the database; it leaves the cursor once the deletion is
    // committed.
    void remove();
    // Re-reads the rows; the current record stays current (its position, when it is gone).
    void refresh();

Q_SIGNALS:
    // Another row became current, or the rows were read anew.
    void currentChanged();
    // A column of the current row changed its value.
    void valueChanged(int column);
    void modeChanged();
    // Rows were read anew, inserted or removed.
    void rowsReset();

private:
    // Packed, so that a table of many rows takes little more than their bytes.
    struct Row {
        qint64 rowid = -1;
        PackedRow values;
    };

    void readColumns(const QList<DeclaredColumn>& declared);
    void readRows();
    QString selectStatement(QVariantList& values) const;
    void setMode(Mode mode);
    void insertAt(int position);
    // Takes a row out of the cursor; after the current one, the next (or the last) becomes
    // current.
    void dropRow(int position);
    void dropStoredRow(qint64 rowid);
    // Write the current row; return its rowid.
    qint64 insertRow();
    qint64 updateRow();
    void finishStore(int row, qint64 rowid, bool committed);

    bool open_ = false;
    bool isView_ = false;
    QString name_;
    QList<ColumnInfo> columns_;
    QHash<QString, int> byName_;
    QStringList sort_;
    QList<FilterTerm> filter_;
    QVector<Row> rows_;
    int current_ = -1;
    Mode mode_ = Mode::Browse;
    bool storing_ = false;  // posted, waiting for the transaction to end
    Row saved_;             // the row as it was before editing
};

}  // namespace db
