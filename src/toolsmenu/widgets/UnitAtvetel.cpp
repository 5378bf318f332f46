#include "UnitAtvetel.h"

#include "backup/backups.h"
#include "db/query.h"
#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/widgets/guide.h"
#include "toolsmenu/carry_forward.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

TFormAtvetel::TFormAtvetel(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormAtvetel"));
    platform::addGuideKey(this, QStringLiteral("atvetel"));
    setWindowTitle(QStringLiteral("Előző negyedév átvétele"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    auto* layout = new QGridLayout(this);
    auto* label = new QLabel(QStringLiteral("Átvett adatlap:"), this);
    layout->addWidget(label, 0, 0);
    ComboBox_intezmeny = new QComboBox(this);
    label->setBuddy(ComboBox_intezmeny);
    ComboBox_intezmeny->setObjectName(QStringLiteral("ComboBox_intezmeny"));
    ComboBox_intezmeny->setMinimumWidth(360);
    layout->addWidget(ComboBox_intezmeny, 0, 1, 1, 2);
    Label_cel = new QLabel(this);
    Label_cel->setObjectName(QStringLiteral("Label_cel"));
    layout->addWidget(Label_cel, 1, 0, 1, 3);
    Button_atvetel = new QPushButton(QStringLiteral("Átvétel"), this);
    Button_atvetel->setObjectName(QStringLiteral("Button_atvetel"));
    layout->addWidget(Button_atvetel, 2, 1);
    Button_kilepes = new QPushButton(QStringLiteral("Kilépés"), this);
    Button_kilepes->setObjectName(QStringLiteral("Button_kilepes"));
    layout->addWidget(Button_kilepes, 2, 2);
    connect(ComboBox_intezmeny, &QComboBox::currentIndexChanged, this, &TFormAtvetel::showTarget);
    connect(Button_atvetel, &QPushButton::clicked, this, &TFormAtvetel::Button_atvetelClick);
    connect(Button_kilepes, &QPushButton::clicked, this, &QDialog::accept);
    loadRecords();
}

void TFormAtvetel::loadRecords() {
    const int chosen = ComboBox_intezmeny->currentIndex();
    ComboBox_intezmeny->clear();
    keys_.clear();
    for (db::Query view(QStringLiteral("select id, adosajat, adatszolgev, adatszolgnegyedev "
                                       "from View_Intezmeny"));
         !view.eof(); view.next()) {
        keys_.append({view.text(1), view.text(2), view.text(3)});
        ComboBox_intezmeny->addItem(view.text(0));
    }
    ComboBox_intezmeny->setCurrentIndex(std::max(chosen, 0));
    Button_atvetel->setEnabled(!keys_.isEmpty());
    showTarget();
}

void TFormAtvetel::showTarget() {
    const int chosen = ComboBox_intezmeny->currentIndex();
    if (chosen < 0) {
        Label_cel->setText(QStringLiteral("Nincs adatlap."));
        return;
    }
    const institution::ReportKey target = toolsmenu::nextQuarter(keys_.at(chosen));
    Label_cel->setText(
        QStringLiteral("Új adatlap: %1 %2/%3").arg(target.adosajat, target.year, target.quarter));
}

void TFormAtvetel::Button_atvetelClick() {
    platform::runCommand([this] {
        backup::backUpBeforeChange(backup::warnInWindow);
        try {
            const toolsmenu::Carried carried =
                toolsmenu::carryForward(keys_.at(ComboBox_intezmeny->currentIndex()));
            platform::showMessage(
                QStringLiteral("Az adatlap átvéve: %1 %2/%3, %4 tétel.")
                    .arg(carried.key.adosajat, carried.key.year, carried.key.quarter)
                    .arg(carried.items));
        } catch (const toolsmenu::CarryRefused& refused) {
            platform::showWarning(refused.text());
        }
        loadRecords();
    });
}
