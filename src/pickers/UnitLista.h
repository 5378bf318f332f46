#pragma once

#include "db/table.h"
#include "db/widgets/table_model.h"
#include "picker_target.h"

#include <QDialog>

#include <memory>

class QLineEdit;
class QListView;
class QPushButton;
class QSortFilterProxyModel;

// The list picker: the rows of a code table as one line each (its nevstr, in the order of nev);
// the user picks one and its id goes into the caller's column. The search box above the list
// narrows it to the lines whose shown line, name or code holds the typed text.
class TFormLista : public QDialog {
    Q_OBJECT
public:
    explicit TFormLista(QWidget* parent = nullptr);

    // Prepares the picker: the code table (with the columns id, nevstr and nev), the caption,
    // the width of the list in pixels and the column that receives the choice. A missing table
    // or column is a Failure and the picker must not be shown.
    void LoadList(const QString& table, const QString& caption, int width,
                  const PickerTarget& target);

    QLineEdit* Edit_kereses;
    QListView* DBLookupListBox_list;
    QPushButton* Button_mehet;

private:
    // Writes the id of the selected line (empty text when none is selected) and closes.
    void Button_mehetClick();
    // Narrows the list to the search box's text and selects its first line.
    void Edit_keresesChange(const QString& text);

    db::Table ADOTable_list;
    std::unique_ptr<db::TableModel> DataSource_list;
    QSortFilterProxyModel* Filter_list;
    PickerTarget target_;
};
