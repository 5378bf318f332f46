#pragma once

#include "db/table.h"
#include "db/widgets/editor_window.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Beszerzések importálása": the user chooses a data-provider record and a spreadsheet's CSV
// file, and imports its rows as purchase items of the record. When any row fails nothing is
// imported; the list shows every fault with its line and column, and the same list is saved
// beside the CSV file.
class TFormBeszerzesImport : public db::EditorWindow {
    Q_OBJECT
public:
    explicit TFormBeszerzesImport(QWidget* parent = nullptr);

    db::Table ADOTable_View_Intezmeny;

    // Over every row of View_Intezmeny, showing its id.
    QComboBox* ComboBox_intezmenyid;
    QLineEdit* Edit_fajl;
    QPushButton* Button_tallozas;
    QListWidget* ListBox_hibak;
    QPushButton* Button_importalas;
    QPushButton* Button_kilepes;
    // The columns and the forms of codes and numbers the import accepts.
    QLabel* Label_oszlopok;
    // "Minta mentése…": writes a template file for the chosen record's quarter.
    QPushButton* Button_minta;

    void Button_importalasClick();

private:
    void Button_tallozasClick();
    void Button_mintaClick();
};
