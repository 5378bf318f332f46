#pragma once

#include "institution/institution_records.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QPushButton;

// "Előző negyedév átvétele": the user picks a data-provider record and carries it with its
// purchase items into the next quarter.
class TFormAtvetel : public QDialog {
    Q_OBJECT
public:
    explicit TFormAtvetel(QWidget* parent = nullptr);

    QComboBox* ComboBox_intezmeny = nullptr;
    QLabel* Label_cel = nullptr;
    QPushButton* Button_atvetel = nullptr;
    QPushButton* Button_kilepes = nullptr;

public Q_SLOTS:
    void Button_atvetelClick();

private:
    // Fills the list from the records' view, keeping the chosen line where it can.
    void loadRecords();
    void showTarget();

    QList<institution::ReportKey> keys_;
};
