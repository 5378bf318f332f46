#include "UnitAbout.h"

#include "platform/widgets/guide.h"
#include "platform/widgets/window_placement.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

const QColor kYellow(255, 255, 0);
const QColor kAqua(0, 255, 255);
const QColor kRed(255, 0, 0);

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    platform::addGuideKey(this, QStringLiteral("nevjegy"));
    setWindowTitle(QStringLiteral("Névjegy"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setFixedSize(521, 275);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 521, 275);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    Panel1->setAutoFillBackground(true);
    QPalette navy = Panel1->palette();
    navy.setColor(QPalette::Window, QColor(0, 0, 128));
    Panel1->setPalette(navy);

    ProductName =
        addLabel("ProductName", QStringLiteral("Vélkor statisztika 2007"), {196, 18}, kYellow);
    Version = addLabel("Version", QStringLiteral("v1.4"), {252, 36}, kYellow);
    Label3 = addLabel("Label3", QStringLiteral("Vélkor Műhely 2007"), {240, 54}, kAqua);
    Credit = addLabel("Credit", QStringLiteral("Készült a Gyűjtő Iroda korábbi programja alapján."),
                      {126, 86}, kYellow);
    Label1 = addLabel("Label1", QStringLiteral("Információ: Vélkor ügyfélszolgálat"), {214, 110},
                      kYellow);
    Label2 = addLabel("Label2", QStringLiteral("Tel.: (06-1) 555-0100"), {246, 134}, kYellow);
    Comments = addLabel("Comments",
                        QStringLiteral("A program és adatai másolása, felhasználása csak a "
                                       "készítők írásos engedélyével lehetséges!"),
                        {48, 168}, kRed);
    Comments->setGeometry(48, 168, 433, 49);
    Comments->setWordWrap(true);
    Comments->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont bold = Comments->font();
    bold.setBold(true);
    Comments->setFont(bold);

    OKButton = new QPushButton(QStringLiteral("OK"), Panel1);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(231, 232, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
    platform::centreOnScreen(this);
}

QLabel* TAboutBox::addLabel(const char* name, const QString& text, QPoint place,
                            const QColor& colour) {
    auto* label = new QLabel(text, Panel1);
    label->setObjectName(QString::fromLatin1(name));
    label->move(place);
    label->adjustSize();
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

void TAboutBox::OKButtonClick() {
    accept();
}
