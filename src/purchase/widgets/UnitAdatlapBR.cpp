#include "UnitAdatlapBR.h"

#include "checks/check_methods.h"
#include "checks/widgets/panel.h"
#include "db/widgets/bound_grid.h"
#include "db/widgets/bound_line_edit.h"
#include "db/widgets/bound_lookup_combo_box.h"
#include "pickers/UnitLista.h"
#include "platform/failure.h"
#include "platform/message_box.h"
#include "platform/widgets/guide.h"
#include "purchase/item_checks.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using CheckMethods::SetPanelEnabled;
using db::DeclaredColumn;
using db::ValueKind;

// What the product/service section of the editor looks like for one kind of item.
struct purchase::KindSettings {
    QString kind;  // the Torzs_Termekszolg ID
    QString groupButton;
    QString numberLabel;
    int numberLabelLeft;
    int itjWidth;
    bool itjEnabled;
    QString nameLabel;
    QString groupTable;
    QString pickerCaption;
};

namespace {

using purchase::KindSettings;

const QString kCaption = QStringLiteral(
    "Egészségügyi intézmények árinformációi, OSAP 9052/07 statisztikai adatjelentés beszerzési "
    "adatai");

DeclaredColumn text(const char* name) {
    return {QString::fromLatin1(name), ValueKind::Text};
}
DeclaredColumn integer(const char* name) {
    return {QString::fromLatin1(name), ValueKind::Integer};
}
DeclaredColumn real(const char* name) {
    return {QString::fromLatin1(name), ValueKind::Real};
}

const KindSettings kProduct{QStringLiteral("1"),
                            QStringLiteral("Termék csoport választás"),
                            QStringLiteral("Vámtarifa szám: "),
                            376,
                            137,
                            true,
                            QStringLiteral("Termék megnevezése: "),
                            purchase::kProductGroupTable,
                            QStringLiteral("Termékcsoportok")};
const KindSettings kService{QStringLiteral("2"),
                            QStringLiteral("Szolgáltatás csoport választás"),
                            QStringLiteral("Szolgáltatási jegyzék szám: "),
                            316,
                            77,
                            false,
                            QStringLiteral("Szolgáltatás megnevezése: "),
                            purchase::kServiceGroupTable,
                            QStringLiteral("Szolgáltatás csoportok")};
// A row of no kind shows the section as a fresh window does.
const KindSettings kNoKind{QString(),
                           QStringLiteral("Termék csoport választás"),
                           QStringLiteral("Vámtarifa szám:"),
                           376,
                           137,
                           true,
                           QStringLiteral("Termék/szolgáltatás megnevezése: "),
                           QString(),
                           QString()};

const KindSettings* kindSettingsOf(const QString& kind) {
    for (const KindSettings* settings : {&kProduct, &kService})
        if (kind == settings->kind)
            return settings;
    return nullptr;
}

// The layout of the edit panel: a label column and a control column on each side, one line per
// row.
constexpr int kLeftLabel = 8;
constexpr int kLeftControl = 170;
constexpr int kRightLabel = 322;
constexpr int kRightControl = 490;
constexpr int kRowHeight = 21;

constexpr int rowTop(int row) {
    return 12 + 24 * row;
}

// While typing, a box takes only characters that can belong to its number: a whole number's
// digits, signs and grouping blanks, for a price also the comma, the point (a number pad's
// separator, which purchase::readNumber reads as a decimal only where it cannot group thousands)
// and the exponent letter, in at most 9 characters.
QValidator* numberValidator(QObject* parent, purchase::NumberKind kind) {
    return new QRegularExpressionValidator(
        QRegularExpression(kind == purchase::NumberKind::Whole
                               ? QStringLiteral("[0-9+\\- ]*")
                               : QStringLiteral("[0-9+\\- ,.eE]{0,9}")),
        parent);
}

}  // namespace

TFormAdatlapBR::TFormAdatlapBR(QWidget* parent)
    : EditorWindow(QStringLiteral("TFormAdatlapBR"), kCaption, {792, 437}, parent) {
    platform::addGuideKey(this, QStringLiteral("beszerzesi-adatlap"));
    init();
    buildPanels();
    connectHandlers();
    askToStoreOnClose(ADOTable_AdatlapBR, [this] { Button_tarolasClick(); });
    controlsMade();
}

TFormAdatlapBR::~TFormAdatlapBR() {
    // The bound controls go while the tables they show are still there.
    delete GroupBox_edit;
    delete GroupBox_grid;
    delete GroupBox_valaszt;
}

void TFormAdatlapBR::init() {
    // The purchase items start under the filter (adosajat=''): none show until a data provider
    // is chosen.
    ADOTable_AdatlapBR.open(
        QStringLiteral("AdatlapBR"),
        {text("Adosajat"), integer("Beszerzev"), text("Beszerznegyedev"), text("Beszerzho"),
         integer("Tetelsorszam"), text("Termekszolg"), text("Vtszszolgkod"), text("Termitj"),
         text("Vtszszolg"), text("Termszolgnev"), text("Mennyisegiegyseg"),
         integer("Vasaroltmenny"), text("Beszerzforras"), text("Felhasznter"), text("Artipus"),
         real("Tegysegar"), real("Bazisegysegar")},
        {{QStringLiteral("adosajat"), QString()}});
    ADOTable_View_Intezmeny.open(
        QStringLiteral("View_Intezmeny"),
        {text("id"), integer("Adatszolgev"), text("Adatszolgnegyedev"), text("Adosajat")});
    ADOTable_Torzs_ho.open(QStringLiteral("Torzs_ho"), {text("ID"), text("Nev"), text("Negyedev")});
    ADOTable_Torzs_Termekszolg.open(QStringLiteral("Torzs_Termekszolg"),
                                    {integer("ID"), text("Nev"), text("NevStr")});
    // The code tables of the drop-down lists, with the nevstr the purchase listing shows.
    const QList<DeclaredColumn> codeColumns = {text("ID"), text("Nev"), text("nevstr")};
    ADOTable_Torzs_Mennyisegiegyseg.open(QStringLiteral("Torzs_Mennyisegiegyseg"), codeColumns);
    ADOTable_Torzs_Beszerzesiforras.open(QStringLiteral("Torzs_Beszerzesiforras"), codeColumns);
    ADOTable_Torzs_Felhasznter.open(QStringLiteral("Torzs_Felhasznter"), codeColumns);
    ADOTable_Torzs_Artipus.open(QStringLiteral("Torzs_Artipus"), codeColumns);
}

void TFormAdatlapBR::buildPanels() {
    auto panel = [this](const char* name, const QString& title, QRect place) {
        auto* box = new QGroupBox(title, this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(place);
        return box;
    };
    GroupBox_valaszt = panel("GroupBox_valaszt", QStringLiteral("Válasszon"), {0, 0, 633, 48});
    GroupBox_grid = panel("GroupBox_grid", {}, {0, 48, 633, 163});
    GroupBox_edit = panel("GroupBox_edit", {}, {0, 211, 633, 226});
    GroupBox_dbmuv = panel("GroupBox_dbmuv", {}, {637, 0, 155, 150});
    GroupBox_editmuv = panel("GroupBox_editmuv", {}, {637, 150, 155, 112});
    GroupBox_kilep = panel("GroupBox_kilep", {}, {637, 372, 155, 65});
    buildProviderPanel();
    buildGrid();
    buildEditPanel();
    buildCommandPanels();
    SetPanelEnabled(GroupBox_edit, false);
    SetPanelEnabled(GroupBox_dbmuv, false);
    Button_tarolas->setEnabled(false);
    Button_megsem->setEnabled(false);
}

namespace {

QLabel* labelAt(QWidget* panel, const QString& text, int left, int top, QWidget* buddy) {
    auto* label = new QLabel(text, panel);
    label->setBuddy(buddy);
    label->adjustSize();
    label->move(left, top + (kRowHeight - label->height()) / 2);
    return label;
}

template <typename Control>
Control* placed(Control* control, const char* name, int left, int top, int width) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(left, top, width, kRowHeight);
    return control;
}

}  // namespace

void TFormAdatlapBR::buildProviderPanel() {
    QWidget* panel = GroupBox_valaszt;
    constexpr int top = 18;
    DBLookupComboBox_intezmenyid =
        placed(new QComboBox(panel), "DBLookupComboBox_intezmenyid", 100, top, 335);
    const int id = ADOTable_View_Intezmeny.columnIndex(QStringLiteral("id"));
    for (int row = 0; row < ADOTable_View_Intezmeny.rowCount(); ++row) {
        const QString key = db::textOf(ADOTable_View_Intezmeny.value(row, id));
        DBLookupComboBox_intezmenyid->addItem(key, key);
    }
    DBLookupComboBox_intezmenyid->setCurrentIndex(-1);
    DBEdit_adatszolgev =
        placed(new db::BoundLineEdit(ADOTable_View_Intezmeny, QStringLiteral("Adatszolgev"), panel),
               "DBEdit_adatszolgev", 475, top, 45);
    DBEdit_adatszolgnegyedev = placed(
        new db::BoundLineEdit(ADOTable_View_Intezmeny, QStringLiteral("Adatszolgnegyedev"), panel),
        "DBEdit_adatszolgnegyedev", 595, top, 25);
    DBEdit_adatszolgev->setReadOnly(true);
    DBEdit_adatszolgnegyedev->setReadOnly(true);
    labelAt(panel, QStringLiteral("Adatszolgáltató:"), 8, top, DBLookupComboBox_intezmenyid);
    labelAt(panel, QStringLiteral("Év:"), 450, top, DBEdit_adatszolgev);
    labelAt(panel, QStringLiteral("Negyedév:"), 530, top, DBEdit_adatszolgnegyedev);
}

void TFormAdatlapBR::buildGrid() {
    DBGrid_adatlapBR = new db::BoundGrid(ADOTable_AdatlapBR, {}, GroupBox_grid);
    DBGrid_adatlapBR->setObjectName(QStringLiteral("DBGrid_adatlapBR"));
    DBGrid_adatlapBR->setToolTip(QStringLiteral("Lista ablak"));
    DBGrid_adatlapBR->setAccessibleName(QStringLiteral("Tételek"));
    for (const auto* price : {"Tegysegar", "Bazisegysegar"})
        DBGrid_adatlapBR->tableModel().setDisplayFormat(QString::fromLatin1(price),
                                                        &db::twoDecimalsPattern);
    auto* layout = new QVBoxLayout(GroupBox_grid);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(DBGrid_adatlapBR);
}

void TFormAdatlapBR::buildEditPanel() {
    QWidget* panel = GroupBox_edit;
    db::Table& item = ADOTable_AdatlapBR;
    auto edit = [&](const char* name, const char* column, int left, int row, int width) {
        return placed(new db::BoundLineEdit(item, QString::fromLatin1(column), panel), name, left,
                      rowTop(row), width);
    };
    auto lookup = [&](const char* name, const char* column, db::Table& list, const char* shown,
                      int left, int row, int width) {
        return placed(
            new db::BoundLookupComboBox(item, QString::fromLatin1(column), list,
                                        QStringLiteral("ID"), QString::fromLatin1(shown), panel),
            name, left, rowTop(row), width);
    };
    auto label = [&](const QString& text, int left, int row, QWidget* buddy) {
        return labelAt(panel, text, left, rowTop(row), buddy);
    };

    // Created in tab order.
    DBLookupComboBox_beszerzho = lookup("DBLookupComboBox_beszerzho", "Beszerzho",
                                        ADOTable_Torzs_ho, "NEV", kLeftControl, 0, 120);
    label(QStringLiteral("Beszerzés hónapja:"), kLeftLabel, 0, DBLookupComboBox_beszerzho);
    DBEdit_tetelsorszam = edit("DBEdit_tetelsorszam", "Tetelsorszam", kRightControl, 0, 60);
    DBEdit_tetelsorszam->setReadOnly(true);
    label(QStringLiteral("Tételsorszám:"), kRightLabel, 0, DBEdit_tetelsorszam);

    DBLookupComboBox_termekszolg = lookup("DBLookupComboBox_termekszolg", "Termekszolg",
                                          ADOTable_Torzs_Termekszolg, "Nev", kLeftControl, 1, 120);
    Label15 = label(QStringLiteral("Termék, vagyszolgáltatás:"), kLeftLabel, 1,
                    DBLookupComboBox_termekszolg);
    Button_termszolgcsopval = placed(new QPushButton(kProduct.groupButton, panel),
                                     "Button_termszolgcsopval", kLeftLabel, rowTop(2) - 1, 186);
    Button_termszolgcsopval->resize(186, kRowHeight + 2);
    Edit_termszolgcsopnev =
        placed(new QLineEdit(panel), "Edit_termszolgcsopnev", 200, rowTop(2), 425);
    Edit_termszolgcsopnev->setReadOnly(true);
    Edit_termszolgcsopnev->setAccessibleName(QStringLiteral("Csoport megnevezése"));
    groupNamePalette_ = Edit_termszolgcsopnev->palette();

    DBEdit_Vtszszolgkod = edit("DBEdit_Vtszszolgkod", "Vtszszolgkod", 72, 3, 70);
    Label13 = label(QStringLiteral("Azonosító:"), kLeftLabel, 3, DBEdit_Vtszszolgkod);
    DBEdit_Termitj = edit("DBEdit_Termitj", "Termitj", 231, 3, kProduct.itjWidth);
    Label14 = label(QStringLiteral("ITJ:"), 203, 3, DBEdit_Termitj);
    DBEdit_Vtszszolg = edit("DBEdit_Vtszszolg", "Vtszszolg", 500, 3, 125);
    Label16 =
        label(QStringLiteral("Vámtarifa szám:"), kProduct.numberLabelLeft, 3, DBEdit_Vtszszolg);
    for (auto* code : {DBEdit_Vtszszolgkod, DBEdit_Termitj, DBEdit_Vtszszolg})
        code->setReadOnly(true);

    DBEdit_termszolgnev = edit("DBEdit_termszolgnev", "Termszolgnev", 215, 4, 410);
    Label7 = label(QStringLiteral("Termék/szolgáltatás megnevezése: "), kLeftLabel, 4,
                   DBEdit_termszolgnev);

    DBLookupComboBox_mennyisegiegyseg =
        lookup("DBLookupComboBox_mennyisegiegyseg", "Mennyisegiegyseg",
               ADOTable_Torzs_Mennyisegiegyseg, "Nev", kLeftControl, 5, 140);
    label(QStringLiteral("Mennyiségi egység:"), kLeftLabel, 5, DBLookupComboBox_mennyisegiegyseg);
    DBEdit_vasaroltmennyiseg =
        edit("DBEdit_vasaroltmennyiseg", "Vasaroltmenny", kRightControl, 5, 80);
    DBEdit_vasaroltmennyiseg->setValidator(
        numberValidator(DBEdit_vasaroltmennyiseg, purchase::NumberKind::Whole));
    label(QStringLiteral("Vásárolt mennyiség:"), kRightLabel, 5, DBEdit_vasaroltmennyiseg);

    DBLookupComboBox_Beszerzesiforras =
        lookup("DBLookupComboBox_Beszerzesiforras", "Beszerzforras",
               ADOTable_Torzs_Beszerzesiforras, "Nev", kLeftControl, 6, 140);
    label(QStringLiteral("Beszerzésiforrás:"), kLeftLabel, 6, DBLookupComboBox_Beszerzesiforras);
    DBLookupComboBox_Felhasznter = lookup("DBLookupComboBox_Felhasznter", "Felhasznter",
                                          ADOTable_Torzs_Felhasznter, "Nev", kRightControl, 6, 135);
    label(QStringLiteral("Felhasználási terület:"), kRightLabel, 6, DBLookupComboBox_Felhasznter);

    DBLookupComboBox_Artipus = lookup("DBLookupComboBox_Artipus", "Artipus", ADOTable_Torzs_Artipus,
                                      "Nev", kLeftControl, 7, 140);
    label(QStringLiteral("Ártípus:"), kLeftLabel, 7, DBLookupComboBox_Artipus);
    DBEdit_tegysegar = edit("DBEdit_tegysegar", "Tegysegar", kRightControl, 7, 80);
    label(QStringLiteral("Termék nettó egységára (Ft):"), kRightLabel, 7, DBEdit_tegysegar);
    DBEdit_bazisegysegar = edit("DBEdit_bazisegysegar", "Bazisegysegar", kRightControl, 8, 80);
    label(QStringLiteral("Termék bázis egységára (Ft):"), kRightLabel, 8, DBEdit_bazisegysegar);
    // A price is typed in at most 9 characters and shown with two decimals, which may be more.
    for (auto* price : {DBEdit_tegysegar, DBEdit_bazisegysegar}) {
        price->setValidator(numberValidator(price, purchase::NumberKind::Decimal));
        price->setDisplayFormat(&db::twoDecimalsPattern);
    }
    // A key that cannot belong to the number is refused with a beep.
    for (auto* number : {DBEdit_vasaroltmennyiseg, DBEdit_tegysegar, DBEdit_bazisegysegar})
        connect(number, &QLineEdit::inputRejected, this, &QApplication::beep);
}

void TFormAdatlapBR::buildCommandPanels() {
    auto button = [&](QWidget* panel, const char* name, const QString& text, int top, int height) {
        return commandButton(panel, name, text, {8, top, 139, height});
    };
    Button_felvitel =
        button(GroupBox_dbmuv, "Button_felvitel", QStringLiteral("Új sor felvitele"), 14, 38);
    Button_modositas =
        button(GroupBox_dbmuv, "Button_modositas", QStringLiteral("Mósodítás"), 58, 38);
    Button_torles = button(GroupBox_dbmuv, "Button_torles", QStringLiteral("Töröl"), 102, 38);
    Button_tarolas = button(GroupBox_editmuv, "Button_tarolas", QStringLiteral("Tárolás"), 14, 40);
    Button_megsem = button(GroupBox_editmuv, "Button_megsem", QStringLiteral("Mégsem"), 62, 40);
    Button_kilepes = button(GroupBox_kilep, "Button_kilepes", QStringLiteral("Kilépés"), 14, 38);
    // The Tab key passes over it; a click still reaches it.
    Button_kilepes->setFocusPolicy(Qt::ClickFocus);
}

void TFormAdatlapBR::connectHandlers() {
    connect(Button_felvitel, &QPushButton::clicked, this,
            command(&TFormAdatlapBR::Button_felvitelClick));
    connect(Button_modositas, &QPushButton::clicked, this,
            command(&TFormAdatlapBR::Button_modositasClick));
    connect(Button_torles, &QPushButton::clicked, this,
            command(&TFormAdatlapBR::Button_torlesClick));
    connect(Button_tarolas, &QPushButton::clicked, this,
            command(&TFormAdatlapBR::Button_tarolasClick));
    connect(Button_megsem, &QPushButton::clicked, this,
            command(&TFormAdatlapBR::Button_megsemClick));
    connect(Button_kilepes, &QPushButton::clicked, this, command(&TFormAdatlapBR::bezarExecute));
    connect(Button_termszolgcsopval, &QPushButton::clicked, this,
            command(&TFormAdatlapBR::Button_termszolgcsopvalClick));
    // Choosing an entry makes its view row current first; the entries are the view's rows.
    connect(DBLookupComboBox_intezmenyid, &QComboBox::activated, this, [this](int entry) {
        platform::runCommand([this, entry] {
            ADOTable_View_Intezmeny.setCurrentRow(entry);
            DBLookupComboBox_intezmenyidClick();
        });
    });
    // Another row current (browsing, a provider chosen, an edit abandoned): the section shows
    // that row's own kind and group.
    connect(&ADOTable_AdatlapBR, &db::Table::currentChanged, this,
            [this] { platform::runCommand([this] { ShowCurrentItem(); }); });
    // The bound list has stored the chosen key already.
    connect(DBLookupComboBox_termekszolg, &QComboBox::activated, this, [this] {
        platform::runCommand(
            [this] { DBLookupComboBox_termekszolgClick(DBLookupComboBox_termekszolg); });
    });
}

void TFormAdatlapBR::SetEditing(bool editing) {
    SetPanelEnabled(GroupBox_grid, !editing);
    SetPanelEnabled(GroupBox_edit, editing);
    SetPanelEnabled(GroupBox_valaszt, !editing);
    SetPanelEnabled(GroupBox_dbmuv, !editing);
    SetPanelEnabled(GroupBox_editmuv, editing);
}

void TFormAdatlapBR::DBLookupComboBox_intezmenyidClick() {
    if (DBLookupComboBox_intezmenyid->currentIndex() < 0)
        return;
    SelectedAdosajat = ADOTable_View_Intezmeny.text(QStringLiteral("adosajat"));
    SelectedYear = ADOTable_View_Intezmeny.text(QStringLiteral("adatszolgev"));
    SelectedQuarter = ADOTable_View_Intezmeny.text(QStringLiteral("adatszolgnegyedev"));
    ADOTable_AdatlapBR.setFilter({{QStringLiteral("adosajat"), SelectedAdosajat},
                                  {QStringLiteral("beszerzev"), SelectedYear},
                                  {QStringLiteral("beszerznegyedev"), SelectedQuarter}});
    SetPanelEnabled(GroupBox_dbmuv, true);
    ADOTable_Torzs_ho.setFilter({{QStringLiteral("Negyedev"), SelectedQuarter}});
    LastMonth.clear();
}

QString TFormAdatlapBR::NextItemNumber() {
    ADOQuery_tetelsorszam.run(
        QStringLiteral("select max(tetelsorszam) as tetelsorszam from AdatlapBR where adosajat = "
                       "? and beszerzev = ? and beszerznegyedev = ?"),
        {SelectedAdosajat, SelectedYear, SelectedQuarter});
    const QString highest = ADOQuery_tetelsorszam.text(QStringLiteral("tetelsorszam"));
    ADOQuery_tetelsorszam.close();
    return highest.isEmpty() ? QStringLiteral("1") : QString::number(highest.toLongLong() + 1);
}

void TFormAdatlapBR::Button_felvitelClick() {
    ADOTable_AdatlapBR.append();
    SetEditing(true);
    NewRow = true;
    ADOTable_AdatlapBR.setText(QStringLiteral("tetelsorszam"), NextItemNumber());
    ADOTable_AdatlapBR.setText(QStringLiteral("beszerzho"), LastMonth);
    termszolgVisibility(false, true);
    DBLookupComboBox_beszerzho->setFocus();
}

void TFormAdatlapBR::Button_modositasClick() {
    if (ADOTable_AdatlapBR.isEmpty()) {
        platform::showWarning(QStringLiteral("Nincs rekord, így nem módosíthat!!"));
        return;
    }
    SetEditing(true);
    ADOTable_AdatlapBR.edit();
    DBLookupComboBox_termekszolgClick(nullptr);
    termszolg_conv();
}

bool TFormAdatlapBR::AnyCheckFails() {
    const purchase::ItemEntries entries{DBLookupComboBox_beszerzho->currentText(),
                                        DBLookupComboBox_termekszolg->currentText(),
                                        DBEdit_Vtszszolgkod->text(),
                                        Edit_termszolgcsopnev->text(),
                                        DBEdit_termszolgnev->text(),
                                        DBLookupComboBox_mennyisegiegyseg->currentText(),
                                        DBEdit_vasaroltmennyiseg->text(),
                                        DBLookupComboBox_Beszerzesiforras->currentText(),
                                        DBLookupComboBox_Felhasznter->currentText(),
                                        DBLookupComboBox_Artipus->currentText(),
                                        DBEdit_tegysegar->text(),
                                        DBEdit_bazisegysegar->text()};
    auto fault = purchase::firstFailingCheck(entries);
    if (!fault)
        fault = purchase::firstNumberMisfit(entries);
    return CheckMethods::ShowFault(fault ? std::optional(fault->fault) : std::nullopt);
}

void TFormAdatlapBR::WriteTypedNumbers() {
    // A number box keeps its typed text; the checks have read it, and the row takes the number
    // here as the program writes it. A box that was not typed in keeps the stored value exactly,
    // not as its two decimals show it.
    const std::pair<db::BoundLineEdit*, purchase::NumberKind> boxes[] = {
        {DBEdit_vasaroltmennyiseg, purchase::NumberKind::Whole},
        {DBEdit_tegysegar, purchase::NumberKind::Decimal},
        {DBEdit_bazisegysegar, purchase::NumberKind::Decimal}};
    for (const auto& [box, kind] : boxes) {
        if (!box->isModified())
            continue;
        box->setText(db::floatText(purchase::readNumber(box->text(), kind).value.value()));
        box->updateRecord();
    }
}

void TFormAdatlapBR::Button_tarolasClick() {
    if (AnyCheckFails())
        return;
    WriteTypedNumbers();
    if (!ADOTable_AdatlapBR.isEditing())
        ADOTable_AdatlapBR.edit();
    ADOTable_AdatlapBR.setText(QStringLiteral("adosajat"), SelectedAdosajat);
    ADOTable_AdatlapBR.setText(QStringLiteral("beszerzev"), SelectedYear);
    ADOTable_AdatlapBR.setText(QStringLiteral("beszerznegyedev"), SelectedQuarter);
    LastMonth = DBLookupComboBox_beszerzho->key();
    ADOTable_AdatlapBR.post();
    SetEditing(false);
    NewRow = false;
}

void TFormAdatlapBR::Button_megsemClick() {
    // A new item disappears; a modified one returns to its stored values.
    ADOTable_AdatlapBR.cancel();
    SetEditing(false);
    NewRow = false;
    termszolgVisibility(true, false);
}

void TFormAdatlapBR::Button_torlesClick() {
    deleteCurrentRow(ADOTable_AdatlapBR, GroupBox_grid, DBGrid_adatlapBR);
}

void TFormAdatlapBR::bezarExecute() {
    close();
}

void TFormAdatlapBR::termszolgVisibility(bool visible, bool clear) {
    Button_termszolgcsopval->setVisible(visible);
    Edit_termszolgcsopnev->setVisible(visible);
    if (clear)
        Edit_termszolgcsopnev->clear();
    const std::pair<QLabel*, db::BoundLineEdit*> boxes[] = {{Label13, DBEdit_Vtszszolgkod},
                                                            {Label14, DBEdit_Termitj},
                                                            {Label16, DBEdit_Vtszszolg},
                                                            {Label7, DBEdit_termszolgnev}};
    for (const auto& [label, box] : boxes) {
        label->setVisible(visible);
        box->setVisible(visible);
        // Emptying a bound box empties its column of the row being edited.
        if (clear)
            ADOTable_AdatlapBR.setText(box->column(), QString());
    }
}

void TFormAdatlapBR::DBLookupComboBox_termekszolgClick(QObject* sender) {
    const QString kind = DBLookupComboBox_termekszolg->key();
    termszolgVisibility(true, sender != nullptr);
    // Any other kind leaves the section as the last kind applied left it.
    if (const KindSettings* settings = kindSettingsOf(kind))
        ApplyKind(*settings);
}

void TFormAdatlapBR::ApplyKind(const KindSettings& settings) {
    Button_termszolgcsopval->setText(settings.groupButton);
    Label16->setText(settings.numberLabel);
    Label16->adjustSize();
    Label16->move(settings.numberLabelLeft, Label16->y());
    DBEdit_Termitj->resize(settings.itjWidth, DBEdit_Termitj->height());
    DBEdit_Termitj->setEnabled(settings.itjEnabled);
    Label7->setText(settings.nameLabel);
    Label7->adjustSize();
    GroupTable = settings.groupTable;
    GroupPickerCaption = settings.pickerCaption;
}

void TFormAdatlapBR::ShowCurrentItem() {
    // The item being edited shows what the user chose for it.
    if (ADOTable_AdatlapBR.isEditing())
        return;
    const KindSettings* settings =
        kindSettingsOf(ADOTable_AdatlapBR.text(QStringLiteral("termekszolg")));
    ApplyKind(settings ? *settings : kNoKind);
    const QString code = ADOTable_AdatlapBR.text(QStringLiteral("vtszszolgkod"));
    if (code.isEmpty())
        ShowGroupName(QString(), true);
    else
        ShowGroup(code);
}

void TFormAdatlapBR::Button_termszolgcsopvalClick() {
    {
        TFormLista picker(this);
        picker.LoadList(GroupTable, GroupPickerCaption, 400,
                        {&ADOTable_AdatlapBR, QStringLiteral("vtszszolgkod")});
        picker.exec();
    }
    termszolg_conv();
}

void TFormAdatlapBR::ShowGroupName(const QString& name, bool found) {
    QPalette palette = groupNamePalette_;
    if (!found)
        palette.setColor(QPalette::Base, Qt::red);
    Edit_termszolgcsopnev->setPalette(palette);
    Edit_termszolgcsopnev->setText(name);
}

std::optional<purchase::Group> TFormAdatlapBR::ShowGroup(const QString& code) {
    // A code of an item of no kind names no group.
    const auto group = GroupTable.isEmpty()
                           ? std::nullopt
                           : purchase::lookUpGroup(ADOQuery_termszolgkod, GroupTable, code);
    ShowGroupName(group ? group->name : purchase::kGroupNotFound, group.has_value());
    return group;
}

void TFormAdatlapBR::termszolg_conv() {
    const QString code = DBEdit_Vtszszolgkod->text();
    // Without a code there is no group to look up, and the item keeps no codes of a group it does
    // not name; a red not-found colour stays.
    if (code.isEmpty()) {
        Edit_termszolgcsopnev->clear();
        ADOTable_AdatlapBR.setText(QStringLiteral("termitj"), QString());
        ADOTable_AdatlapBR.setText(QStringLiteral("vtszszolg"), QString());
        return;
    }
    if (const auto group = ShowGroup(code)) {
        ADOTable_AdatlapBR.setText(QStringLiteral("termitj"), group->itj);
        ADOTable_AdatlapBR.setText(QStringLiteral("vtszszolg"), group->number);
    }
}
