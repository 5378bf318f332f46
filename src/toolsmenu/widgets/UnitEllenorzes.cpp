#include "UnitEllenorzes.h"

#include "db/query.h"
#include "overview/quarter_steps.h"
#include "platform/failure.h"
#include "platform/widgets/guide.h"
#include "platform/widgets/window_placement.h"
#include "toolsmenu/period_check.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

TFormEllenorzes::TFormEllenorzes(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormEllenorzes"));
    platform::addGuideKey(this, QStringLiteral("ellenorzes"));
    setWindowTitle(QStringLiteral("Negyedév ellenőrzése"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(760, 420);
    platform::fitOnScreen(this);
    auto* layout = new QGridLayout(this);
    ComboBox_ev = new QComboBox(this);
    ComboBox_ev->setObjectName(QStringLiteral("ComboBox_ev"));
    ComboBox_negyedev = new QComboBox(this);
    ComboBox_negyedev->setObjectName(QStringLiteral("ComboBox_negyedev"));
    Button_ellenorzes = button(this, "Button_ellenorzes", QStringLiteral("Ellenőrzés"));
    ListBox_problemak = new QListWidget(this);
    ListBox_problemak->setObjectName(QStringLiteral("ListBox_problemak"));
    // A long line wraps at the window's edge instead of running out of sight.
    ListBox_problemak->setWordWrap(true);
    ListBox_problemak->setResizeMode(QListView::Adjust);
    ListBox_problemak->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Label_eredmeny = new QLabel(this);
    Label_eredmeny->setObjectName(QStringLiteral("Label_eredmeny"));
    Button_kilepes = button(this, "Button_kilepes", QStringLiteral("Kilépés"));
    const auto labelOf = [this](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };
    ListBox_problemak->setAccessibleName(QStringLiteral("Problémák"));
    layout->addWidget(labelOf(QStringLiteral("Év:"), ComboBox_ev), 0, 0);
    layout->addWidget(ComboBox_ev, 0, 1);
    layout->addWidget(labelOf(QStringLiteral("Negyedév:"), ComboBox_negyedev), 0, 2);
    layout->addWidget(ComboBox_negyedev, 0, 3);
    layout->addWidget(Button_ellenorzes, 0, 4);
    layout->addWidget(ListBox_problemak, 1, 0, 1, 6);
    layout->addWidget(Label_eredmeny, 2, 0, 1, 5);
    layout->addWidget(Button_kilepes, 2, 5, Qt::AlignRight);
    layout->setColumnStretch(5, 1);
    connect(Button_ellenorzes, &QPushButton::clicked, this,
            &TFormEllenorzes::Button_ellenorzesClick);
    connect(Button_kilepes, &QPushButton::clicked, this, &QDialog::accept);

    // The years of the records and of the items; the newest quarter that has either chosen.
    for (db::Query years(QStringLiteral("select adatszolgev from AdatlapInt union "
                                        "select beszerzev from AdatlapBR order by 1"));
         !years.eof(); years.next())
        ComboBox_ev->addItem(years.text(0));
    for (db::Query quarters(QStringLiteral("select id from Torzs_Negyedev order by id"));
         !quarters.eof(); quarters.next())
        ComboBox_negyedev->addItem(quarters.text(0));
    if (ComboBox_ev->count() > 0) {
        const overview::Quarter newest = overview::latestQuarter();
        ComboBox_ev->setCurrentText(QString::number(newest.year));
        ComboBox_negyedev->setCurrentText(QString::number(newest.quarter));
    }
    Button_ellenorzes->setEnabled(ComboBox_ev->count() > 0);
}

void TFormEllenorzes::Button_ellenorzesClick() {
    platform::runCommand([this] {
        ListBox_problemak->clear();
        const QString year = ComboBox_ev->currentText();
        const QString quarter = ComboBox_negyedev->currentText();
        const QList<toolsmenu::Problem> problems = toolsmenu::checkPeriod(year, quarter);
        for (const toolsmenu::Problem& problem : problems)
            ListBox_problemak->addItem(toolsmenu::problemLine(problem));
        const QString saved =
            QDir::toNativeSeparators(toolsmenu::saveProblemList(year, quarter, problems));
        Label_eredmeny->setText(
            problems.isEmpty()
                ? QStringLiteral("%1 A lista: %2").arg(toolsmenu::kNoProblem, saved)
                : QStringLiteral("%1 probléma. A lista: %2").arg(problems.size()).arg(saved));
    });
}
