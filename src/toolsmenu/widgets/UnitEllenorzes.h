#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

// "Negyedév ellenőrzése": every problem of a chosen year and quarter in a list, also saved in
// Listak/.
class TFormEllenorzes : public QDialog {
    Q_OBJECT
public:
    explicit TFormEllenorzes(QWidget* parent = nullptr);

    QComboBox* ComboBox_ev = nullptr;
    QComboBox* ComboBox_negyedev = nullptr;
    QPushButton* Button_ellenorzes = nullptr;
    QListWidget* ListBox_problemak = nullptr;
    QLabel* Label_eredmeny = nullptr;
    QPushButton* Button_kilepes = nullptr;

public Q_SLOTS:
    void Button_ellenorzesClick();
};
