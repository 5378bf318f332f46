#pragma once

#include "overview/price_index.h"
#include "overview/quarter.h"
#include "overview/quarter_steps.h"

#include <QDialog>

#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;
class QChartView;

// "Negyedév áttekintése": how far a chosen quarter's report has got, each step a button to the
// window that does it, and the institution's price index per group and for the quarter beside
// the quarters before it, as a table and as a chart, both to be saved in Listak/.
class TFormAttekintes : public QDialog {
    Q_OBJECT
public:
    // The main window's command that does a step of a quarter; none where there is none now.
    using StepAction = std::function<QAction*(overview::Step, const overview::Quarter&)>;

    TFormAttekintes(QWidget* parent, StepAction stepAction,
                    const overview::Quarter& quarter = overview::latestQuarter());

    // The command of the step the user chose, to be run once the window has closed; none when
    // the window was closed otherwise.
    QAction* chosenAction() const { return chosen_; }
    // Listak/<year>_<quarter>_arindex, the table's and the chart's file without its extension.
    QString savedName() const;

    QComboBox* ComboBox_ev = nullptr;
    QComboBox* ComboBox_negyedev = nullptr;
    QList<QPushButton*> Button_lepesek;  // in the order of the steps
    QList<QLabel*> Label_lepesek;
    QTableWidget* Table_arindex = nullptr;
    QWidget* Widget_grafikon = nullptr;
    QChartView* ChartView_csoportok = nullptr;
    QChartView* ChartView_negyedevek = nullptr;
    QPushButton* Button_csv = nullptr;
    QPushButton* Button_png = nullptr;
    QLabel* Label_mentve = nullptr;
    QPushButton* Button_kilepes = nullptr;

public Q_SLOTS:
    // Shows the steps and the prices of the quarter in the boxes.
    void showQuarter();
    void Button_csvClick();
    void Button_pngClick();

private:
    QWidget* createSteps(QWidget* parent);
    QWidget* createPrices(QWidget* parent);
    void fillPeriods(const overview::Quarter& quarter);
    void showSteps(const overview::Quarter& quarter);
    void showPrices(const overview::Quarter& quarter);

    StepAction stepAction_;
    QList<overview::StepState> steps_;
    overview::PriceTable table_;  // as shown, for the CSV file
    QAction* chosen_ = nullptr;
};
