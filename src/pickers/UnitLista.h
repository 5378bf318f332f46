#pragma once

#include "db/table.h"
#include "db/widgets/table_model.h"
#include "picker_target.h"

#include <QDialog>

#include <memory>

class QListView;
class QPushButton;

// The list picker: the rows of a code table as one line each (its nevstr, in the order of nev);
// the user picks one and its id goes into the caller's column.
class TFormLista : public QDialog {
    Q_OBJECT
public:
    explicit TFormLista(QWidget* parent = nullptr);

    // Prepares the picker: the code table (with the columns id, nevstr and nev), the caption,
    // the width of the list in pixels and the column that receives the choice. A missing table
    // or column is a Failure and the picker must not be shown.
    void LoadList(const QString& table, const QString& caption, int width,
                  const PickerTarget& target);

    QListView* DBLookupListBox_list;
    QPushButton* Button_mehet;

private:
    // Writes the id of the selected line (empty text when none is selected) and closes.
    void Button_mehetClick();

    db::Table ADOTable_list;
    std::unique_ptr<db::TableModel> DataSource_list;
    PickerTarget target_;
};
