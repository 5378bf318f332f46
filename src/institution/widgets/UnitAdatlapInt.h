#pragma once

#include "db/table.h"
#include "db/widgets/editor_window.h"
#include "institution/institution_records.h"
#include "institution/record_checks.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace db {
class BoundGrid;
class BoundLineEdit;
class BoundLookupComboBox;
}  // namespace db

// The editor of the data providers' records (AdatlapInt): a grid to browse them and an edit
// panel for the record being added or modified. Opening it reads the tables; a missing table or
// column is a Failure and the window is not made.
class TFormAszolgInt : public db::EditorWindow {
    Q_OBJECT
public:
    explicit TFormAszolgInt(QWidget* parent = nullptr);
    ~TFormAszolgInt() override;

protected:
    void pageResized(QSize extra) override;

public:
    // Data access, in the order the controls below rely on.
    db::Table ADOTable_AdatlapInt;
    db::Table ADOTable_negyedev;
    db::Table ADOTable_torzs_kshmegye;
    db::Table ADOTable_torzs_irsz;
    db::Table ADOTable_gazdfor;

    QGroupBox* GroupBox_grid;
    QGroupBox* GroupBox_edit;
    QGroupBox* GroupBox_dbmuv;
    QGroupBox* GroupBox_editmuv;
    QGroupBox* GroupBox_kilep;

    db::BoundGrid* DBGrid_AdatlapInt;

    db::BoundLineEdit* DBEdit_adosajat;
    db::BoundLineEdit* DBEdit_Adatszolgev;
    db::BoundLookupComboBox* DBLookupComboBox_adatszolgnegyedev;
    db::BoundLineEdit* DBEdit_intnev;
    db::BoundLookupComboBox* DBLookupComboBox_sz_megyekod;
    db::BoundLineEdit* DBEdit_sz_telepuleskod;
    QPushButton* Button_telepules;
    db::BoundLookupComboBox* DBLookupComboBox_irsz;
    db::BoundLineEdit* DBEdit_telepules;
    db::BoundLineEdit* DBEdit_utca;
    db::BoundLineEdit* DBEdit_hsz;
    db::BoundLineEdit* DBEdit_intag;
    QPushButton* Button_szakag;
    QLineEdit* Edit_intagnev;
    db::BoundLookupComboBox* DBLookupComboBox_gazdfor;
    db::BoundLineEdit* DBEdit_I_ANTSZkod;
    db::BoundLineEdit* DBEdit_toltnev;
    db::BoundLineEdit* DBEdit_vezetonev;
    db::BoundLineEdit* DBEdit_tolttel;
    db::BoundLineEdit* DBEdit_vezetotel;
    db::BoundLineEdit* DBEdit_toltmail;
    db::BoundLineEdit* DBEdit_vezetomail;

    QPushButton* Button_felvitel;
    QPushButton* Button_modositas;
    QPushButton* Button_torles;
    QRadioButton* RadioButton_elsodleges;
    QRadioButton* RadioButton_masodlagos;
    QPushButton* Button_tarolas;
    QPushButton* Button_megsem;
    QPushButton* Button_kilepes;

    // Set by "Új sor felvitele", cleared by "Módosítás".
    bool Adding = false;
    // The key of the record being modified as it is stored; empty while adding.
    QString OldAdosajat;
    QString OldAdatszolgev;
    QString OldAdatszolgnegyedev;

private:
    void openTables();
    void buildPanels();
    void buildGrid();
    void buildEditPanel();
    void buildCommandPanels();
    void connectHandlers();

    void EnterBrowsingState();
    void EnterEditingState();
    void SetEditing(bool editing);

    void Button_felvitelClick();
    void Button_modositasClick();
    void Button_torlesClick();
    void Button_tarolasClick();
    void Button_megsemClick();
    void bezarExecute();
    void RadioButton_elsodlegesClick();
    void RadioButton_masodlagosClick();
    void Button_telepulesClick();
    void DBEdit_sz_telepuleskodExit();
    void Button_szakagClick();
    void DBEdit_intagChange();

    void LookUpSettlementName();
    // The postal-code box offers the settlement's codes first.
    void OfferSettlementPostalCodes();
    void LookUpSectorName();
    // The field checks in storing order; true at the first that fails.
    bool AnyCheckFails();
    // Whether another record holds the key.
    bool KeyTaken(const institution::ReportKey& key);
    institution::RecordEntries EditedEntries() const;
    // Puts the current row into editing unless it is being added or modified already.
    void EnsureEditing();
    institution::ReportKey CurrentRowKey() const;
    // The key as the edit panel shows it: the quarter is the key of the one chosen.
    institution::ReportKey EditedKey() const;
    // The key recorded by "Módosítás"; empty while adding.
    institution::ReportKey OldKey() const;
};
