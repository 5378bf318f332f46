#include "UnitAttekintes.h"

#include "db/query.h"
#include "platform/failure.h"
#include "platform/layout.h"
#include "platform/widgets/guide.h"
#include "platform/widgets/window_placement.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QValueAxis>

#include <algorithm>

namespace {

// The groups of most value that get a line of their own beside the whole quarter's.
constexpr int kGroupLines = 5;

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QChartView* chartView(QWidget* parent, const char* name) {
    auto* view = new QChartView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(360, 260);
    return view;
}

// The colours of the quarter lines, one for each: the theme's own repeat after five.
const QColor kLineColours[kGroupLines + 1] = {QColor(0x1f, 0x4e, 0x9c), QColor(0xd6, 0x27, 0x28),
                                              QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                                              QColor(0x94, 0x67, 0xbd), QColor(0x17, 0xbe, 0xcf)};

// A group by its code; an item without one still counts in the quarter.
QString groupLabel(const overview::GroupPrices& group) {
    return group.code.isEmpty() ? QStringLiteral("(nincs kód)") : group.code;
}

// The groups' labels, each told apart by its kind where a product and a service group share it: a
// category axis keeps one of equal labels, which would move the bars after it onto other groups.
QStringList groupLabels(const QList<overview::GroupPrices>& groups) {
    QStringList labels;
    for (const overview::GroupPrices& group : groups)
        labels.append(groupLabel(group));
    for (qsizetype at = 0; at < groups.size(); ++at) {
        if (labels.count(groupLabel(groups[at])) > 1)
            labels[at] += QStringLiteral(" (%1)").arg(groups[at].kindName);
    }
    return labels;
}

// A chart over the categories; the index axis from 0 to above the highest value shown.
QChart* indexChart(const QString& title, const QStringList& categories, double highest) {
    auto* chart = new QChart;
    chart->setTitle(title);
    // The axes' numbers with the regional decimal separator.
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale());
    auto* categoryAxis = new QBarCategoryAxis(chart);
    categoryAxis->append(categories);
    chart->addAxis(categoryAxis, Qt::AlignBottom);
    auto* indexAxis = new QValueAxis(chart);
    indexAxis->setRange(0, std::max(120.0, highest * 1.1));
    indexAxis->setTitleText(QStringLiteral("Index"));
    chart->addAxis(indexAxis, Qt::AlignLeft);
    return chart;
}

void attach(QChart* chart, QAbstractSeries* series) {
    chart->addSeries(series);
    for (QAbstractAxis* axis : chart->axes())
        series->attachAxis(axis);
}

// A line over the quarters: the index of each that has one.
QLineSeries* quarterLine(
    const QString& name, const QList<overview::QuarterPrices>& quarters,
    const std::function<std::optional<double>(const overview::QuarterPrices&)>& indexOf) {
    auto* line = new QLineSeries;
    line->setName(name);
    line->setPointsVisible(true);
    for (qsizetype at = 0; at < quarters.size(); ++at) {
        if (const auto index = indexOf(quarters[at]))
            line->append(static_cast<double>(at), *index);
    }
    return line;
}

// The chosen quarter and the three before it that have purchase items, oldest first.
QList<overview::QuarterPrices> recentPrices(const overview::Quarter& quarter) {
    QList<overview::QuarterPrices> prices;
    for (const overview::Quarter& earlier : overview::quartersWithItems(quarter.previous(), 3))
        prices.append(overview::quarterPrices(earlier));
    prices.append(overview::quarterPrices(quarter));
    return prices;
}

}  // namespace

TFormAttekintes::TFormAttekintes(QWidget* parent, StepAction stepAction,
                                 const overview::Quarter& quarter)
    : QDialog(parent), stepAction_(std::move(stepAction)) {
    setObjectName(QStringLiteral("FormAttekintes"));
    platform::addGuideKey(this, QStringLiteral("attekintes"));
    setWindowTitle(QStringLiteral("Negyedév áttekintése"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    // The steps, the table and the charts scroll where the screen is too small for them; the
    // buttons below stay in view.
    auto* area = new QScrollArea(this);
    area->setObjectName(QStringLiteral("ScrollArea_attekintes"));
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto* content = new QWidget(area);
    auto* layout = new QGridLayout(content);
    ComboBox_ev = new QComboBox(content);
    ComboBox_ev->setObjectName(QStringLiteral("ComboBox_ev"));
    ComboBox_negyedev = new QComboBox(content);
    ComboBox_negyedev->setObjectName(QStringLiteral("ComboBox_negyedev"));
    auto* yearLabel = new QLabel(QStringLiteral("&Év:"), content);
    yearLabel->setBuddy(ComboBox_ev);
    auto* quarterLabel = new QLabel(QStringLiteral("&Negyedév:"), content);
    quarterLabel->setBuddy(ComboBox_negyedev);
    layout->addWidget(yearLabel, 0, 0);
    layout->addWidget(ComboBox_ev, 0, 1);
    layout->addWidget(quarterLabel, 0, 2);
    layout->addWidget(ComboBox_negyedev, 0, 3, Qt::AlignLeft);
    layout->addWidget(createSteps(content), 1, 0, 1, 5);
    layout->addWidget(createPrices(content), 2, 0, 1, 5);
    layout->setColumnStretch(4, 1);
    layout->setRowStretch(2, 1);
    area->setWidget(content);

    Label_mentve = new QLabel(this);
    Label_mentve->setObjectName(QStringLiteral("Label_mentve"));
    Button_csv = button(this, "Button_csv", QStringLiteral("&Táblázat mentése (CSV)"));
    Button_png = button(this, "Button_png", QStringLiteral("&Grafikon mentése (PNG)"));
    Button_kilepes = button(this, "Button_kilepes", QStringLiteral("&Kilépés"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label_mentve, 1);
    for (QPushButton* pushButton : {Button_csv, Button_png, Button_kilepes})
        buttons->addWidget(pushButton);
    auto* window = new QVBoxLayout(this);
    window->addWidget(area, 1);
    window->addLayout(buttons);
    connect(Button_csv, &QPushButton::clicked, this, &TFormAttekintes::Button_csvClick);
    connect(Button_png, &QPushButton::clicked, this, &TFormAttekintes::Button_pngClick);
    connect(Button_kilepes, &QPushButton::clicked, this, &QDialog::reject);
    fillPeriods(quarter);
    showQuarter();
    for (QComboBox* box : {ComboBox_ev, ComboBox_negyedev})
        connect(box, &QComboBox::currentIndexChanged, this, &TFormAttekintes::showQuarter);
    resize(980, 760);
    platform::fitOnScreen(this);
}

QWidget* TFormAttekintes::createSteps(QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("A negyedév lépései"), parent);
    auto* grid = new QGridLayout(box);
    const auto stepCount = static_cast<int>(overview::Step::Copy) + 1;
    for (int row = 0; row < stepCount; ++row) {
        auto* stepButton = new QPushButton(box);
        stepButton->setObjectName(QStringLiteral("Button_lepes%1").arg(row + 1));
        auto* state = new QLabel(box);
        state->setObjectName(QStringLiteral("Label_lepes%1").arg(row + 1));
        state->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(stepButton, row, 0);
        grid->addWidget(state, row, 1);
        connect(stepButton, &QPushButton::clicked, this, [this, row] {
            chosen_ = stepAction_(steps_.at(row).step,
                                  *overview::Quarter::of(ComboBox_ev->currentText(),
                                                         ComboBox_negyedev->currentText()));
            accept();
        });
        Button_lepesek.append(stepButton);
        Label_lepesek.append(state);
    }
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* TFormAttekintes::createPrices(QWidget* parent) {
    auto* box = new QGroupBox(
        QStringLiteral(
            "Árindex: Σ(nettó egységár × mennyiség) / Σ(bázisegységár × mennyiség) × 100"),
        parent);
    auto* column = new QVBoxLayout(box);
    Table_arindex = new QTableWidget(box);
    Table_arindex->setObjectName(QStringLiteral("Table_arindex"));
    Table_arindex->setAccessibleName(QStringLiteral("Árindex"));
    Table_arindex->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table_arindex->verticalHeader()->hide();
    // Six groups in view; the window scrolls rather than squeeze the table.
    Table_arindex->setMinimumHeight(Table_arindex->horizontalHeader()->sizeHint().height() +
                                    6 * Table_arindex->verticalHeader()->defaultSectionSize() +
                                    2 * Table_arindex->frameWidth());
    Widget_grafikon = new QWidget(box);
    Widget_grafikon->setObjectName(QStringLiteral("Widget_grafikon"));
    auto* charts = new QHBoxLayout(Widget_grafikon);
    charts->setContentsMargins(0, 0, 0, 0);
    ChartView_csoportok = chartView(Widget_grafikon, "ChartView_csoportok");
    ChartView_negyedevek = chartView(Widget_grafikon, "ChartView_negyedevek");
    charts->addWidget(ChartView_csoportok);
    charts->addWidget(ChartView_negyedevek);
    column->addWidget(Table_arindex, 1);
    column->addWidget(Widget_grafikon, 2);
    return box;
}

void TFormAttekintes::fillPeriods(const overview::Quarter& quarter) {
    QStringList years{quarter.yearText()};
    for (db::Query rows(QStringLiteral("select adatszolgev from AdatlapInt union "
                                       "select beszerzev from AdatlapBR"));
         !rows.eof(); rows.next())
        years.append(rows.text(0));
    std::sort(years.begin(), years.end());
    years.erase(std::unique(years.begin(), years.end()), years.end());
    ComboBox_ev->addItems(years);
    ComboBox_ev->setCurrentText(quarter.yearText());
    for (int number = 1; number <= 4; ++number)
        ComboBox_negyedev->addItem(QString::number(number));
    ComboBox_negyedev->setCurrentText(quarter.quarterText());
}

QString TFormAttekintes::savedName() const {
    return platform::kListingFolder +
           QStringLiteral("%1_%2_arindex")
               .arg(ComboBox_ev->currentText(), ComboBox_negyedev->currentText());
}

void TFormAttekintes::showQuarter() {
    platform::runCommand([this] {
        const auto quarter =
            overview::Quarter::of(ComboBox_ev->currentText(), ComboBox_negyedev->currentText());
        if (!quarter)
            return;
        Label_mentve->clear();
        showSteps(*quarter);
        showPrices(*quarter);
    });
}

void TFormAttekintes::showSteps(const overview::Quarter& quarter) {
    steps_ = overview::quarterSteps(quarter);
    for (qsizetype row = 0; row < steps_.size(); ++row) {
        const overview::StepState& step = steps_[row];
        QAction* action = stepAction_(step.step, quarter);
        Button_lepesek[row]->setText(step.caption);
        Button_lepesek[row]->setEnabled(action != nullptr && action->isEnabled());
        Label_lepesek[row]->setText((step.done ? QStringLiteral("✔ ") : QStringLiteral("✘ ")) +
                                    step.state);
    }
}

void TFormAttekintes::showPrices(const overview::Quarter& quarter) {
    const QList<overview::QuarterPrices> quarters = recentPrices(quarter);
    table_ = overview::priceTable(quarters);
    const overview::PriceTable& table = table_;
    Table_arindex->clear();
    Table_arindex->setColumnCount(static_cast<int>(table.header.size()));
    Table_arindex->setHorizontalHeaderLabels(table.header);
    Table_arindex->setRowCount(static_cast<int>(table.rows.size()));
    for (int row = 0; row < table.rows.size(); ++row) {
        for (int column = 0; column < table.rows[row].size(); ++column)
            Table_arindex->setItem(row, column, new QTableWidgetItem(table.rows[row][column]));
    }
    Table_arindex->resizeColumnsToContents();

    // Bars by group for the chosen quarter.
    const overview::QuarterPrices& chosen = quarters.back();
    auto* bars = new QBarSet(QStringLiteral("Index ") + quarter.label());
    const QStringList groups = groupLabels(chosen.groups);
    double highest = 0;
    for (const overview::GroupPrices& group : chosen.groups) {
        const double index = group.sums.index().value_or(0);
        bars->append(index);
        highest = std::max(highest, index);
    }
    QChart* groupChart =
        indexChart(QStringLiteral("Csoportok, ") + quarter.label(), groups, highest);
    auto* barSeries = new QBarSeries;
    barSeries->append(bars);
    attach(groupChart, barSeries);
    groupChart->legend()->hide();
    ChartView_csoportok->setChart(groupChart);

    // Lines over the quarters: the whole quarter's, and those of the groups of most value.
    QStringList labels;
    for (const overview::QuarterPrices& prices : quarters) {
        labels.append(prices.quarter.label());
        highest = std::max(highest, prices.total.index().value_or(0));
    }
    QChart* quarterChart = indexChart(QStringLiteral("Negyedévek"), labels, highest);
    attach(quarterChart,
           quarterLine(QStringLiteral("Negyedév összesen"), quarters,
                       [](const overview::QuarterPrices& prices) { return prices.total.index(); }));
    QList<overview::GroupPrices> largest = chosen.groups;
    std::sort(largest.begin(), largest.end(),
              [](const auto& one, const auto& other) { return one.sums.value > other.sums.value; });
    for (const overview::GroupPrices& group : largest.mid(0, kGroupLines))
        attach(quarterChart,
               quarterLine(groupLabel(group), quarters,
                           [&group](const overview::QuarterPrices& prices) {
                               for (const overview::GroupPrices& other : prices.groups) {
                                   if (other.kind == group.kind && other.code == group.code)
                                       return other.sums.index();
                               }
                               return std::optional<double>();
                           }));
    const QList<QAbstractSeries*> lines = quarterChart->series();
    for (qsizetype at = 0; at < lines.size(); ++at)
        static_cast<QLineSeries*>(lines[at])->setColor(kLineColours[at]);
    ChartView_negyedevek->setChart(quarterChart);
}

void TFormAttekintes::Button_csvClick() {
    platform::runCommand([this] {
        const QString path = savedName() + QStringLiteral(".csv");
        overview::writePriceTable(path, table_);
        Label_mentve->setText(QStringLiteral("A táblázat: ") + QDir::toNativeSeparators(path));
    });
}

void TFormAttekintes::Button_pngClick() {
    platform::runCommand([this] {
        const QString path = savedName() + QStringLiteral(".png");
        if (!Widget_grafikon->grab().save(path, "PNG"))
            throw platform::Failure(
                QStringLiteral("A(z) %1 fájl nem írható.").arg(QDir::toNativeSeparators(path)));
        Label_mentve->setText(QStringLiteral("A grafikon: ") + QDir::toNativeSeparators(path));
    });
}
