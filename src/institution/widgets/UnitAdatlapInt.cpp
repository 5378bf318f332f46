#include "UnitAdatlapInt.h"

#include "checks/check_methods.h"
#include "checks/widgets/panel.h"
#include "db/connection.h"
#include "db/widgets/bound_grid.h"
#include "db/widgets/bound_line_edit.h"
#include "db/widgets/bound_lookup_combo_box.h"
#include "pickers/UnitFa.h"
#include "pickers/UnitLista.h"
#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/widgets/guide.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using CheckMethods::SetPanelEnabled;
using db::ValueKind;

namespace {

const QString kCaption = QStringLiteral(
    "Egészségügyi intézmények árinformációi, OSAP 9052/06 statisztikai adatjelentés, "
    "adatjelentő intézmény adatai");

const QList<db::DeclaredColumn> kAdatlapIntColumns = {
    {QStringLiteral("Adosajat"), ValueKind::Text},
    {QStringLiteral("Intnev"), ValueKind::Text},
    {QStringLiteral("Sz_megyekod"), ValueKind::Text},
    {QStringLiteral("Sz_telepuleskod"), ValueKind::Text},
    {QStringLiteral("Irsz"), ValueKind::Text},
    {QStringLiteral("Telepules"), ValueKind::Text},
    {QStringLiteral("Utca"), ValueKind::Text},
    {QStringLiteral("Hsz"), ValueKind::Text},
    {QStringLiteral("Intag"), ValueKind::Text},
    {QStringLiteral("Gazdfor"), ValueKind::Text},
    {QStringLiteral("I_ANTSZkod"), ValueKind::Text},
    {QStringLiteral("Toltnev"), ValueKind::Text},
    {QStringLiteral("Toltmail"), ValueKind::Text},
    {QStringLiteral("Tolttel"), ValueKind::Text},
    {QStringLiteral("Vezetonev"), ValueKind::Text},
    {QStringLiteral("Vezetomail"), ValueKind::Text},
    {QStringLiteral("Vezetotel"), ValueKind::Text},
    {QStringLiteral("Adatszolgev"), ValueKind::Integer},
    {QStringLiteral("Adatszolgnegyedev"), ValueKind::Text},
};

// The grid shows the name first and the key last.
const QStringList kGridColumns = {QStringLiteral("Intnev"),
                                  QStringLiteral("Sz_megyekod"),
                                  QStringLiteral("Sz_telepuleskod"),
                                  QStringLiteral("Irsz"),
                                  QStringLiteral("Telepules"),
                                  QStringLiteral("Utca"),
                                  QStringLiteral("Hsz"),
                                  QStringLiteral("Intag"),
                                  QStringLiteral("Gazdfor"),
                                  QStringLiteral("I_ANTSZkod"),
                                  QStringLiteral("Toltnev"),
                                  QStringLiteral("Toltmail"),
                                  QStringLiteral("Tolttel"),
                                  QStringLiteral("Vezetonev"),
                                  QStringLiteral("Vezetomail"),
                                  QStringLiteral("Vezetotel"),
                                  QStringLiteral("Adatszolgev"),
                                  QStringLiteral("Adatszolgnegyedev"),
                                  QStringLiteral("Adosajat")};

// Edit boxes are as wide as their column's characters need, within the panel.
constexpr int kMaxBoxWidth = 150;

void setWidthForCharacters(QWidget* box, int characters) {
    const int width = box->fontMetrics().averageCharWidth() * characters + 12;
    box->setFixedWidth(std::min(width, kMaxBoxWidth));
}

QLabel* labelFor(QWidget* control, const QString& text) {
    auto* label = new QLabel(text, control->parentWidget());
    label->setBuddy(control);
    return label;
}

// A greyed-out control keeps the grey text of the style, so that it looks unusable.
void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
    widget->setPalette(palette);
}

}  // namespace

TFormAszolgInt::TFormAszolgInt(QWidget* parent)
    : EditorWindow(QStringLiteral("TFormAszolgInt"), kCaption, {794, 374}, parent) {
    platform::addGuideKey(this, QStringLiteral("intezmenyi-adatlap"));
    openTables();
    buildPanels();
    connectHandlers();
    EnterBrowsingState();
    askToStoreOnClose(ADOTable_AdatlapInt, [this] { Button_tarolasClick(); });
    // Larger fonts need more room than the designed size: the window may be enlarged.
    controlsMade(true);
}

// The grid and the edit panel take the room the window has beyond its designed size, the grid
// the height; the command panels keep to the right edge, "Kilépés" to the bottom.
void TFormAszolgInt::pageResized(QSize extra) {
    const int wider = std::max(0, extra.width());
    const int taller = std::max(0, extra.height());
    GroupBox_grid->setGeometry(2, 1, 623 + wider, 121 + taller);
    GroupBox_edit->setGeometry(2, 123 + taller, 623 + wider, 249);
    GroupBox_dbmuv->setGeometry(631 + wider, 1, 161, 185);
    GroupBox_editmuv->setGeometry(631 + wider, 187, 161, 121);
    GroupBox_kilep->setGeometry(631 + wider, 309 + taller, 161, 65);
}

TFormAszolgInt::~TFormAszolgInt() {
    // The bound controls go while the tables they show are still there.
    delete GroupBox_edit;
    delete GroupBox_grid;
}

void TFormAszolgInt::openTables() {
    ADOTable_AdatlapInt.open(QStringLiteral("AdatlapInt"), kAdatlapIntColumns);
    ADOTable_negyedev.open(QStringLiteral("Torzs_Negyedev"));
    ADOTable_torzs_kshmegye.open(QStringLiteral("Torzs_KSHMEGYE"));
    ADOTable_torzs_irsz.open(QStringLiteral("Torzs_IRSZ"));
    ADOTable_gazdfor.open(QStringLiteral("Torzs_gazdfor"));
}

void TFormAszolgInt::buildPanels() {
    auto panel = [this](const char* name) {
        auto* box = new QGroupBox(this);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    GroupBox_grid = panel("GroupBox_grid");
    GroupBox_edit = panel("GroupBox_edit");
    GroupBox_dbmuv = panel("GroupBox_dbmuv");
    GroupBox_editmuv = panel("GroupBox_editmuv");
    GroupBox_kilep = panel("GroupBox_kilep");
    pageResized({});
    buildGrid();
    buildEditPanel();
    buildCommandPanels();
}

void TFormAszolgInt::buildGrid() {
    DBGrid_AdatlapInt = new db::BoundGrid(ADOTable_AdatlapInt, kGridColumns, GroupBox_grid);
    DBGrid_AdatlapInt->setObjectName(QStringLiteral("DBGrid_AdatlapInt"));
    DBGrid_AdatlapInt->setAccessibleName(QStringLiteral("Adatlapok"));
    auto* layout = new QVBoxLayout(GroupBox_grid);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(DBGrid_AdatlapInt);
}

void TFormAszolgInt::buildEditPanel() {
    QWidget* panel = GroupBox_edit;
    auto edit = [&](const char* name, const QString& column) {
        auto* box = new db::BoundLineEdit(ADOTable_AdatlapInt, column, panel);
        box->setObjectName(QString::fromLatin1(name));
        if (box->maxLength() < 40)
            setWidthForCharacters(box, box->maxLength());
        return box;
    };
    auto lookup = [&](const char* name, const QString& column, db::Table& list, const QString& key,
                      const QString& shown, int characters) {
        auto* box =
            new db::BoundLookupComboBox(ADOTable_AdatlapInt, column, list, key, shown, panel);
        box->setObjectName(QString::fromLatin1(name));
        // As wide as the longest choice beside the arrow, within the characters the row has
        // room for; the list that drops down shows every choice in full.
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        box->setFixedWidth(std::min(box->sizeHint().width(),
                                    box->fontMetrics().averageCharWidth() * characters + 40));
        return box;
    };
    auto button = [&](const char* name, const QString& text) {
        auto* pushButton = new QPushButton(text, panel);
        pushButton->setObjectName(QString::fromLatin1(name));
        return pushButton;
    };

    // Created in tab order.
    DBEdit_adosajat = edit("DBEdit_adosajat", QStringLiteral("Adosajat"));
    DBEdit_Adatszolgev = edit("DBEdit_Adatszolgev", QStringLiteral("Adatszolgev"));
    DBEdit_Adatszolgev->setMaxLength(4);
    setWidthForCharacters(DBEdit_Adatszolgev, 4);
    DBEdit_Adatszolgev->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9+-]*")), DBEdit_Adatszolgev));
    DBLookupComboBox_adatszolgnegyedev =
        lookup("DBLookupComboBox_adatszolgnegyedev", QStringLiteral("Adatszolgnegyedev"),
               ADOTable_negyedev, QStringLiteral("ID"), QStringLiteral("NevStr"), 13);
    DBEdit_intnev = edit("DBEdit_intnev", QStringLiteral("Intnev"));
    DBLookupComboBox_sz_megyekod =
        lookup("DBLookupComboBox_sz_megyekod", QStringLiteral("Sz_megyekod"),
               ADOTable_torzs_kshmegye, QStringLiteral("ID"), QStringLiteral("Nev"), 16);
    DBEdit_sz_telepuleskod = edit("DBEdit_sz_telepuleskod", QStringLiteral("Sz_telepuleskod"));
    Button_telepules = button("Button_telepules", QStringLiteral("Település"));
    DBLookupComboBox_irsz =
        lookup("DBLookupComboBox_irsz", QStringLiteral("Irsz"), ADOTable_torzs_irsz,
               QStringLiteral("id"), QStringLiteral("id"), 4);
    DBEdit_telepules = edit("DBEdit_telepules", QStringLiteral("Telepules"));
    DBEdit_telepules->setReadOnly(true);
    setWidthForCharacters(DBEdit_telepules, 14);
    DBEdit_utca = edit("DBEdit_utca", QStringLiteral("Utca"));
    setWidthForCharacters(DBEdit_utca, 14);
    DBEdit_hsz = edit("DBEdit_hsz", QStringLiteral("Hsz"));
    DBEdit_intag = edit("DBEdit_intag", QStringLiteral("Intag"));
    Button_szakag = button("Button_szakag", QStringLiteral("Szakág"));
    Edit_intagnev = new QLineEdit(panel);
    Edit_intagnev->setObjectName(QStringLiteral("Edit_intagnev"));
    Edit_intagnev->setReadOnly(true);
    DBLookupComboBox_gazdfor =
        lookup("DBLookupComboBox_gazdfor", QStringLiteral("Gazdfor"), ADOTable_gazdfor,
               QStringLiteral("ID"), QStringLiteral("NEV"), 36);
    DBEdit_I_ANTSZkod = edit("DBEdit_I_ANTSZkod", QStringLiteral("I_ANTSZkod"));
    DBEdit_toltnev = edit("DBEdit_toltnev", QStringLiteral("Toltnev"));
    DBEdit_vezetonev = edit("DBEdit_vezetonev", QStringLiteral("Vezetonev"));
    DBEdit_tolttel = edit("DBEdit_tolttel", QStringLiteral("Tolttel"));
    DBEdit_vezetotel = edit("DBEdit_vezetotel", QStringLiteral("Vezetotel"));
    DBEdit_toltmail = edit("DBEdit_toltmail", QStringLiteral("Toltmail"));
    DBEdit_vezetomail = edit("DBEdit_vezetomail", QStringLiteral("Vezetomail"));

    const QList<QWidget*> tabOrder = {DBEdit_adosajat,
                                      DBEdit_Adatszolgev,
                                      DBLookupComboBox_adatszolgnegyedev,
                                      DBEdit_intnev,
                                      DBLookupComboBox_sz_megyekod,
                                      DBEdit_sz_telepuleskod,
                                      Button_telepules,
                                      DBLookupComboBox_irsz,
                                      DBEdit_telepules,
                                      DBEdit_utca,
                                      DBEdit_hsz,
                                      DBEdit_intag,
                                      Button_szakag,
                                      Edit_intagnev,
                                      DBLookupComboBox_gazdfor,
                                      DBEdit_I_ANTSZkod,
                                      DBEdit_toltnev,
                                      DBEdit_vezetonev,
                                      DBEdit_tolttel,
                                      DBEdit_vezetotel,
                                      DBEdit_toltmail,
                                      DBEdit_vezetomail};
    for (int i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    // Nine rows; the people responsible stand in two columns, the filler left, the head right.
    auto row = [](std::initializer_list<QWidget*> controls, bool stretchLast = false) {
        auto* line = new QHBoxLayout;
        for (auto* control : controls)
            line->addWidget(control);
        if (!stretchLast)
            line->addStretch();
        return line;
    };
    auto* rows = new QVBoxLayout(panel);
    rows->setContentsMargins(6, 4, 6, 4);
    rows->setSpacing(2);
    rows->addLayout(row(
        {labelFor(DBEdit_adosajat, QStringLiteral("KSH Törzsszám (Adószám első nyolc karaktere):")),
         DBEdit_adosajat, labelFor(DBEdit_Adatszolgev, QStringLiteral("Jelentés éve:")),
         DBEdit_Adatszolgev,
         labelFor(DBLookupComboBox_adatszolgnegyedev, QStringLiteral("Negyedéve:")),
         DBLookupComboBox_adatszolgnegyedev}));
    rows->addLayout(row(
        {labelFor(DBEdit_intnev, QStringLiteral("Adatszolgáltató szervezet neve:")), DBEdit_intnev},
        true));
    rows->addLayout(
        row({labelFor(DBLookupComboBox_sz_megyekod, QStringLiteral("Székhely KSH megyekódja:")),
             DBLookupComboBox_sz_megyekod,
             labelFor(DBEdit_sz_telepuleskod, QStringLiteral("Székhely KSH településazonosító:")),
             DBEdit_sz_telepuleskod, Button_telepules}));
    rows->addLayout(
        row({labelFor(DBLookupComboBox_irsz, QStringLiteral("Irányítószám:")),
             DBLookupComboBox_irsz, labelFor(DBEdit_telepules, QStringLiteral("Város/község: ")),
             DBEdit_telepules, labelFor(DBEdit_utca, QStringLiteral("Utca:")), DBEdit_utca,
             labelFor(DBEdit_hsz, QStringLiteral("Hsz:")), DBEdit_hsz}));
    rows->addLayout(
        row({labelFor(DBEdit_intag, QStringLiteral("Szakágazat:")), DBEdit_intag, Button_szakag,
             labelFor(Edit_intagnev, QStringLiteral("-------->")), Edit_intagnev},
            true));
    rows->addLayout(
        row({labelFor(DBLookupComboBox_gazdfor, QStringLiteral("Gazdálkodási forma:")),
             DBLookupComboBox_gazdfor,
             labelFor(DBEdit_I_ANTSZkod, QStringLiteral("ÁNTSZ szolgáltató azonosító kód:")),
             DBEdit_I_ANTSZkod}));
    auto* people = new QGridLayout;
    const QList<std::pair<QWidget*, QString>> filler = {
        {DBEdit_toltnev, QStringLiteral("Kitöltő neve:")},
        {DBEdit_tolttel, QStringLiteral("Kitöltő telefonszáma:")},
        {DBEdit_toltmail, QStringLiteral("Kitöltő E-mail címe:")}};
    const QList<std::pair<QWidget*, QString>> head = {
        {DBEdit_vezetonev, QStringLiteral("Vezető neve:")},
        {DBEdit_vezetotel, QStringLiteral("Vezető telefonszáma:")},
        {DBEdit_vezetomail, QStringLiteral("Vezető E-mail címe:")}};
    for (int i = 0; i < 3; ++i) {
        people->addWidget(labelFor(filler.at(i).first, filler.at(i).second), i, 0);
        people->addWidget(filler.at(i).first, i, 1);
        people->addWidget(labelFor(head.at(i).first, head.at(i).second), i, 2);
        people->addWidget(head.at(i).first, i, 3);
    }
    people->setColumnStretch(4, 1);
    rows->addLayout(people);
    rows->addStretch();
}

void TFormAszolgInt::buildCommandPanels() {
    QFont bold = font();
    bold.setBold(true);
    auto button = [&](QGroupBox* panel, const char* name, const QString& text, int top,
                      int height) {
        return commandButton(panel, name, text, {8, top, 145, height});
    };
    auto radio = [&](const char* name, const QString& text, int top) {
        auto* radioButton = new QRadioButton(text, GroupBox_dbmuv);
        radioButton->setObjectName(QString::fromLatin1(name));
        radioButton->setFont(bold);
        radioButton->setGeometry(8, top, 150, 20);
        return radioButton;
    };
    Button_felvitel =
        button(GroupBox_dbmuv, "Button_felvitel", QStringLiteral("Új sor felvitele"), 12, 30);
    setTextColour(Button_felvitel, QPalette::ButtonText, Qt::blue);
    Button_modositas =
        button(GroupBox_dbmuv, "Button_modositas", QStringLiteral("Módosítás"), 48, 30);
    Button_torles = button(GroupBox_dbmuv, "Button_torles", QStringLiteral("Törlés"), 84, 30);
    setTextColour(Button_torles, QPalette::ButtonText, Qt::red);
    RadioButton_elsodleges =
        radio("RadioButton_elsodleges", QStringLiteral("Névszerinti sorrend"), 128);
    RadioButton_elsodleges->setChecked(true);
    RadioButton_masodlagos =
        radio("RadioButton_masodlagos", QStringLiteral("Időszerinti sorrend"), 154);
    Button_tarolas = button(GroupBox_editmuv, "Button_tarolas", QStringLiteral("Tárolás"), 16, 40);
    Button_megsem = button(GroupBox_editmuv, "Button_megsem", QStringLiteral("Mégsem"), 66, 40);
    Button_kilepes = button(GroupBox_kilep, "Button_kilepes", QStringLiteral("Kilépés"), 14, 38);
}

void TFormAszolgInt::connectHandlers() {
    connect(Button_felvitel, &QPushButton::clicked, this,
            command(&TFormAszolgInt::Button_felvitelClick));
    connect(Button_modositas, &QPushButton::clicked, this,
            command(&TFormAszolgInt::Button_modositasClick));
    connect(Button_torles, &QPushButton::clicked, this,
            command(&TFormAszolgInt::Button_torlesClick));
    connect(Button_tarolas, &QPushButton::clicked, this,
            command(&TFormAszolgInt::Button_tarolasClick));
    connect(Button_megsem, &QPushButton::clicked, this,
            command(&TFormAszolgInt::Button_megsemClick));
    connect(Button_kilepes, &QPushButton::clicked, this, command(&TFormAszolgInt::bezarExecute));
    connect(Button_telepules, &QPushButton::clicked, this,
            command(&TFormAszolgInt::Button_telepulesClick));
    connect(Button_szakag, &QPushButton::clicked, this,
            command(&TFormAszolgInt::Button_szakagClick));
    connect(DBEdit_sz_telepuleskod, &db::BoundLineEdit::focusLeft, this,
            command(&TFormAszolgInt::DBEdit_sz_telepuleskodExit));
    connect(DBEdit_intag, &QLineEdit::textChanged, this,
            command(&TFormAszolgInt::DBEdit_intagChange));
    // Choosing the order that is already chosen changes nothing.
    connect(RadioButton_elsodleges, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            platform::runCommand([this] { RadioButton_elsodlegesClick(); });
    });
    connect(RadioButton_masodlagos, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            platform::runCommand([this] { RadioButton_masodlagosClick(); });
    });
    connect(&ADOTable_AdatlapInt, &db::Table::currentChanged, this,
            command(&TFormAszolgInt::OfferSettlementPostalCodes));
    const int settlementColumn = ADOTable_AdatlapInt.columnIndex(QStringLiteral("Sz_telepuleskod"));
    connect(&ADOTable_AdatlapInt, &db::Table::valueChanged, this,
            [this, settlementColumn](int column) {
                if (column == settlementColumn)
                    platform::runCommand([this] { OfferSettlementPostalCodes(); });
            });
    // The sector name and the postal codes of the row shown when the window opens.
    DBEdit_intagChange();
    OfferSettlementPostalCodes();
}

void TFormAszolgInt::SetEditing(bool editing) {
    SetPanelEnabled(GroupBox_grid, !editing);
    SetPanelEnabled(GroupBox_edit, editing);
    SetPanelEnabled(GroupBox_dbmuv, !editing);
    SetPanelEnabled(GroupBox_editmuv, editing);
}

void TFormAszolgInt::EnterBrowsingState() {
    SetEditing(false);
}

void TFormAszolgInt::EnterEditingState() {
    SetEditing(true);
}

institution::ReportKey TFormAszolgInt::CurrentRowKey() const {
    return {ADOTable_AdatlapInt.text(QStringLiteral("Adosajat")),
            ADOTable_AdatlapInt.text(QStringLiteral("Adatszolgev")),
            ADOTable_AdatlapInt.text(QStringLiteral("Adatszolgnegyedev"))};
}

institution::ReportKey TFormAszolgInt::EditedKey() const {
    return {DBEdit_adosajat->text(), DBEdit_Adatszolgev->text(),
            DBLookupComboBox_adatszolgnegyedev->key()};
}

institution::ReportKey TFormAszolgInt::OldKey() const {
    return {OldAdosajat, OldAdatszolgev, OldAdatszolgnegyedev};
}

void TFormAszolgInt::EnsureEditing() {
    if (!ADOTable_AdatlapInt.isEditing())
        ADOTable_AdatlapInt.edit();
}

void TFormAszolgInt::Button_felvitelClick() {
    ADOTable_AdatlapInt.append();
    EnterEditingState();
    Adding = true;
    OldAdosajat.clear();
    OldAdatszolgev.clear();
    OldAdatszolgnegyedev.clear();
    DBEdit_intnev->setFocus();
}

void TFormAszolgInt::Button_modositasClick() {
    if (ADOTable_AdatlapInt.isEmpty()) {
        platform::showWarning(QStringLiteral("Nincs rekord, így nem módosíthat!!"));
        return;
    }
    EnterEditingState();
    ADOTable_AdatlapInt.edit();
    Adding = false;
    const institution::ReportKey stored = CurrentRowKey();
    OldAdosajat = stored.adosajat;
    OldAdatszolgev = stored.year;
    OldAdatszolgnegyedev = stored.quarter;
}

void TFormAszolgInt::Button_megsemClick() {
    // An added row disappears; a modified one returns to its stored values.
    ADOTable_AdatlapInt.cancel();
    EnterBrowsingState();
}

void TFormAszolgInt::Button_torlesClick() {
    deleteCurrentRow(ADOTable_AdatlapInt, GroupBox_grid, DBGrid_AdatlapInt, [this] {
        if (!institution::hasPurchaseItems(CurrentRowKey()))
            return false;
        platform::showMessage(
            QStringLiteral("A rekordot nem lehet törölni, mivel tartozik hozzá bejegyzés a "
                           "Beszerzési adatlapon! Törölje először azokat!"));
        return true;
    });
}

void TFormAszolgInt::bezarExecute() {
    close();
}

void TFormAszolgInt::RadioButton_elsodlegesClick() {
    ADOTable_AdatlapInt.setSort(QStringLiteral("intnev"));
}

void TFormAszolgInt::RadioButton_masodlagosClick() {
    ADOTable_AdatlapInt.setSort(QStringLiteral("adatszolgev;adatszolgnegyedev"));
}

void TFormAszolgInt::Button_telepulesClick() {
    EnsureEditing();
    {
        TFormLista picker(this);
        picker.LoadList(QStringLiteral("torzs_kshtelepules"), QStringLiteral("Település"), 200,
                        {&ADOTable_AdatlapInt, QStringLiteral("Sz_telepuleskod")});
        picker.exec();
    }
    LookUpSettlementName();
}

void TFormAszolgInt::DBEdit_sz_telepuleskodExit() {
    // The box is left also when the window closes or greys the panel; only a row being edited
    // takes the name.
    if (ADOTable_AdatlapInt.isEditing())
        LookUpSettlementName();
}

void TFormAszolgInt::LookUpSettlementName() {
    ADOTable_AdatlapInt.setText(QStringLiteral("Telepules"),
                                institution::settlementName(DBEdit_sz_telepuleskod->text()));
}

void TFormAszolgInt::OfferSettlementPostalCodes() {
    DBLookupComboBox_irsz->offerFirst(institution::settlementPostalCodes(
        ADOTable_AdatlapInt.text(QStringLiteral("Sz_telepuleskod"))));
}

void TFormAszolgInt::Button_szakagClick() {
    Edit_intagnev->setEnabled(true);
    setTextColour(Edit_intagnev, QPalette::Text, Qt::red);
    Edit_intagnev->setText(QStringLiteral("Kérem várjon, a fa épül"));
    Edit_intagnev->repaint();
    EnsureEditing();
    const auto showName = [this] {
        Edit_intagnev->setEnabled(false);
        LookUpSectorName();
    };
    try {
        TFormFa picker(this);
        picker.BuildTree(
            {QStringLiteral("AH_AG"), QStringLiteral("AH_AGAZAT"), QStringLiteral("AH_SZAKAGAZAT")},
            {&ADOTable_AdatlapInt, QStringLiteral("Intag")}, QStringLiteral("Szakágazat"));
        picker.exec();
    } catch (...) {
        // The waiting text must not stay when the tree cannot be built: storing would take it
        // for the name of a code that was found.
        showName();
        throw;
    }
    showName();
}

void TFormAszolgInt::DBEdit_intagChange() {
    LookUpSectorName();
}

void TFormAszolgInt::LookUpSectorName() {
    Edit_intagnev->setText(institution::sectorName(DBEdit_intag->text()));
}

bool TFormAszolgInt::KeyTaken(const institution::ReportKey& key) {
    // While modifying, the record counted may be the stored form of the one being modified.
    return institution::keyTaken(key, Adding ? std::nullopt : std::optional(OldKey()));
}

institution::RecordEntries TFormAszolgInt::EditedEntries() const {
    const institution::ReportKey key = EditedKey();
    return {key.adosajat,
            key.year,
            key.quarter,
            DBEdit_intnev->text(),
            DBLookupComboBox_sz_megyekod->currentText(),
            DBEdit_sz_telepuleskod->text(),
            DBEdit_telepules->text(),
            DBLookupComboBox_irsz->currentText(),
            DBEdit_utca->text(),
            DBEdit_hsz->text(),
            DBEdit_intag->text(),
            Edit_intagnev->text(),
            DBLookupComboBox_gazdfor->currentText(),
            DBEdit_I_ANTSZkod->text(),
            DBEdit_toltnev->text(),
            DBEdit_tolttel->text(),
            DBEdit_toltmail->text(),
            DBEdit_vezetonev->text(),
            DBEdit_vezetotel->text(),
            DBEdit_vezetomail->text()};
}

bool TFormAszolgInt::AnyCheckFails() {
    const institution::RecordEntries entries = EditedEntries();
    // The check-digit question follows the tax number's own check, before every other check.
    if (CheckMethods::AskCheckDigit(institution::checkDigitQuestion(entries)))
        return true;
    const auto fault = institution::firstFailingCheck(entries, [&] {
        return KeyTaken({entries.adosajat, entries.year, entries.quarter});
    });
    return CheckMethods::ShowFault(fault ? std::optional(fault->fault) : std::nullopt);
}

void TFormAszolgInt::Button_tarolasClick() {
    if (AnyCheckFails())
        return;
    // Every box's text is in the row; a year the column cannot hold stops here.
    for (auto* box : GroupBox_edit->findChildren<db::BoundLineEdit*>())
        box->updateRecord();
    const institution::ReportKey key = EditedKey();
    // The purchase items follow a changed key together with the record, or neither changes.
    db::inTransaction([&] {
        if (!Adding && key != OldKey())
            institution::moveItemsToKey(OldKey(), key);
        ADOTable_AdatlapInt.post();
    });
    EnterBrowsingState();
}
