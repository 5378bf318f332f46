#include "UnitKodfrissites.h"

#include "platform/widgets/guide.h"
#include "platform/widgets/window_placement.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFormKodfrissites::TFormKodfrissites(const codetables::ImportReport& report, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FormKodfrissites"));
    setWindowTitle(QStringLiteral("Kódtáblák frissítése"));
    platform::addGuideKey(this, QStringLiteral("frissites"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(640, 360);
    platform::fitOnScreen(this);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("A program új kódtáblái bekerültek az adatbázisba. Az "
                                            "alábbi tárolt adatok már nem létező kódra "
                                            "hivatkoznak; javítsa ki őket a szerkesztőkben."),
                             this);
    label->setWordWrap(true);
    ListBox_hivatkozasok = new QListWidget(this);
    ListBox_hivatkozasok->setObjectName(QStringLiteral("ListBox_hivatkozasok"));
    ListBox_hivatkozasok->addItems(codetables::reportLines(report));
    Button_bezaras = new QPushButton(QStringLiteral("Bezárás"), this);
    Button_bezaras->setObjectName(QStringLiteral("Button_bezaras"));
    Button_bezaras->setDefault(true);
    layout->addWidget(label);
    layout->addWidget(ListBox_hivatkozasok);
    layout->addWidget(Button_bezaras, 0, Qt::AlignRight);
    connect(Button_bezaras, &QPushButton::clicked, this, &QDialog::accept);
}
