#pragma once

#include "db/query.h"
#include "db/table.h"
#include "db/widgets/editor_window.h"

#include "purchase/item_checks.h"

#include <QPalette>

#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace purchase {
struct KindSettings;
}

namespace db {
class BoundGrid;
class BoundLineEdit;
class BoundLookupComboBox;
}  // namespace db

// The purchase editor: the user chooses a data-provider record, then adds, modifies and deletes
// its purchase items (AdatlapBR) one at a time. Every stored item carries the chosen record's
// report key and a running item number. Creating the window opens its tables; a missing table or
// a declared column that is missing or of another kind is a Failure and no window is made.
class TFormAdatlapBR : public db::EditorWindow {
    Q_OBJECT
public:
    explicit TFormAdatlapBR(QWidget* parent = nullptr);
    ~TFormAdatlapBR() override;

    // Data access, in the order the controls below rely on.
    db::Table ADOTable_AdatlapBR;
    db::Table ADOTable_View_Intezmeny;
    db::Table ADOTable_Torzs_ho;
    db::Table ADOTable_Torzs_Termekszolg;
    db::Table ADOTable_Torzs_Mennyisegiegyseg;
    db::Table ADOTable_Torzs_Beszerzesiforras;
    db::Table ADOTable_Torzs_Felhasznter;
    db::Table ADOTable_Torzs_Artipus;
    db::Query ADOQuery_tetelsorszam;
    db::Query ADOQuery_termszolgkod;

    QGroupBox* GroupBox_valaszt;
    QGroupBox* GroupBox_grid;
    QGroupBox* GroupBox_edit;
    QGroupBox* GroupBox_dbmuv;
    QGroupBox* GroupBox_editmuv;
    QGroupBox* GroupBox_kilep;

    // Over every row of View_Intezmeny, showing and keyed by its id; bound to no column.
    QComboBox* DBLookupComboBox_intezmenyid;
    db::BoundLineEdit* DBEdit_adatszolgev;
    db::BoundLineEdit* DBEdit_adatszolgnegyedev;

    db::BoundGrid* DBGrid_adatlapBR;

    db::BoundLookupComboBox* DBLookupComboBox_beszerzho;
    db::BoundLineEdit* DBEdit_tetelsorszam;
    QLabel* Label15;
    db::BoundLookupComboBox* DBLookupComboBox_termekszolg;
    QPushButton* Button_termszolgcsopval;
    QLineEdit* Edit_termszolgcsopnev;
    QLabel* Label13;
    db::BoundLineEdit* DBEdit_Vtszszolgkod;
    QLabel* Label14;
    db::BoundLineEdit* DBEdit_Termitj;
    QLabel* Label16;
    db::BoundLineEdit* DBEdit_Vtszszolg;
    QLabel* Label7;
    db::BoundLineEdit* DBEdit_termszolgnev;
    db::BoundLookupComboBox* DBLookupComboBox_mennyisegiegyseg;
    db::BoundLineEdit* DBEdit_vasaroltmennyiseg;
    db::BoundLookupComboBox* DBLookupComboBox_Beszerzesiforras;
    db::BoundLookupComboBox* DBLookupComboBox_Felhasznter;
    db::BoundLookupComboBox* DBLookupComboBox_Artipus;
    db::BoundLineEdit* DBEdit_tegysegar;
    db::BoundLineEdit* DBEdit_bazisegysegar;

    QPushButton* Button_felvitel;
    QPushButton* Button_modositas;
    QPushButton* Button_torles;
    QPushButton* Button_tarolas;
    QPushButton* Button_megsem;
    QPushButton* Button_kilepes;

    // The report key of the chosen data-provider record.
    QString SelectedAdosajat;
    QString SelectedYear;
    QString SelectedQuarter;
    // The month key of the item stored last: the month a new item starts with.
    QString LastMonth;
    // True while a new item is being added, false while an existing one is modified.
    bool NewRow = false;
    // The group code table of the current kind of item, and its picker's caption.
    QString GroupTable;
    QString GroupPickerCaption;

    // The product/service section: shows or hides the group chooser, the group name, the code
    // boxes and the item name, emptying them (and their columns) when asked.
    void termszolgVisibility(bool visible, bool clear);
    // The kind of item chosen (sender given: the user chose it, and the section is emptied) or
    // shown again by Mósodítás (no sender): labels and sizes for that kind.
    void DBLookupComboBox_termekszolgClick(QObject* sender);
    // The group chooser: the list picker over GroupTable, then the group look-up.
    void Button_termszolgcsopvalClick();
    // The group look-up: the group's name beside the chooser, its codes copied into the item.
    void termszolg_conv();

private:
    void init();
    void buildPanels();
    void buildProviderPanel();
    void buildGrid();
    void buildEditPanel();
    void buildCommandPanels();
    void connectHandlers();

    void SetEditing(bool editing);

    void DBLookupComboBox_intezmenyidClick();
    void Button_felvitelClick();
    void Button_modositasClick();
    void Button_tarolasClick();
    void Button_megsemClick();
    void Button_torlesClick();
    void bezarExecute();

    // The item number for a new item: one more than the highest stored for the report key.
    QString NextItemNumber();
    // The checks of Tárolás in their order; true at the first that fails.
    bool AnyCheckFails();
    // Writes the typed numbers, which the checks have read, into the row.
    void WriteTypedNumbers();
    void ShowGroupName(const QString& name, bool found);
    // Captions, places, sizes and group table of the section for one kind of item.
    void ApplyKind(const purchase::KindSettings& settings);
    // Shows the group of a code beside the chooser, red when no group of the current kind has it.
    std::optional<purchase::Group> ShowGroup(const QString& code);
    // The browsed row's own kind and group in the section.
    void ShowCurrentItem();

    QPalette groupNamePalette_;  // the group name box as it looks when a group was found
};
