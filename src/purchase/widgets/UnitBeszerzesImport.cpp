#include "UnitBeszerzesImport.h"

#include "backup/backups.h"
#include "platform/message_box.h"
#include "platform/widgets/guide.h"
#include "purchase/item_import.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

constexpr int kRowHeight = 21;

template <typename Control>
Control* placed(Control* control, const char* name, const QRect& place) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(place);
    return control;
}

QLabel* labelFor(QWidget* buddy, const QString& text) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    label->adjustSize();
    label->move(8, buddy->y() + (kRowHeight - label->height()) / 2);
    return label;
}

// What the import accepts, beside the fault list.
QString acceptedText() {
    QStringList lines{
        QStringLiteral("Az elfogadott oszlopok, bármilyen sorrendben, a beszerzési "
                       "adatlap felirata vagy az oszlop neve szerint:")};
    for (const purchase::AcceptedColumn& column : purchase::acceptedColumns())
        lines.append(QStringLiteral("  %1 (%2)").arg(column.label, column.name));
    lines.append(QStringLiteral(
        "Kód: az azonosító (a kezdő nullák elhagyhatók) vagy a listában látható név, pl. "
        "\"szeptember\", \"darab (db)\". Szám: a számjegycsoportok között szóköz állhat, "
        "tizedesvesszővel vagy -ponttal. Elválasztó: \";\", \",\" vagy tabulátor; "
        "kódolás: UTF-8 vagy Windows-1250."));
    return lines.join(u'\n');
}

}  // namespace

TFormBeszerzesImport::TFormBeszerzesImport(QWidget* parent)
    : EditorWindow(QStringLiteral("TFormBeszerzesImport"),
                   QStringLiteral("Beszerzések importálása"), {900, 340}, parent) {
    platform::addGuideKey(this, QStringLiteral("importalas"));
    ADOTable_View_Intezmeny.open(QStringLiteral("View_Intezmeny"));
    ComboBox_intezmenyid =
        placed(new QComboBox(this), "ComboBox_intezmenyid", {120, 10, 470, kRowHeight});
    for (int row = 0; row < ADOTable_View_Intezmeny.rowCount(); ++row) {
        ADOTable_View_Intezmeny.setCurrentRow(row);
        ComboBox_intezmenyid->addItem(ADOTable_View_Intezmeny.text(QStringLiteral("id")));
    }
    ComboBox_intezmenyid->setCurrentIndex(-1);
    labelFor(ComboBox_intezmenyid, QStringLiteral("Adatszolgáltató:"));
    Edit_fajl = placed(new QLineEdit(this), "Edit_fajl", {120, 40, 370, kRowHeight});
    labelFor(Edit_fajl, QStringLiteral("CSV-fájl:"));
    Button_tallozas = placed(new QPushButton(QStringLiteral("Tallózás..."), this),
                             "Button_tallozas", {498, 39, 92, kRowHeight + 2});
    ListBox_hibak = placed(new QListWidget(this), "ListBox_hibak", {8, 72, 584, 212});
    ListBox_hibak->setAccessibleName(QStringLiteral("Hibák"));
    Button_importalas =
        commandButton(this, "Button_importalas", QStringLiteral("Importálás"), {8, 294, 139, 38});
    Button_kilepes =
        commandButton(this, "Button_kilepes", QStringLiteral("Kilépés"), {453, 294, 139, 38});
    Label_oszlopok =
        placed(new QLabel(acceptedText(), this), "Label_oszlopok", {604, 10, 288, 272});
    Label_oszlopok->setWordWrap(true);
    Label_oszlopok->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Button_minta = placed(new QPushButton(QStringLiteral("Minta mentése…"), this), "Button_minta",
                          {604, 294, 139, 38});
    connect(Button_minta, &QPushButton::clicked, this,
            command(&TFormBeszerzesImport::Button_mintaClick));
    connect(Button_tallozas, &QPushButton::clicked, this,
            command(&TFormBeszerzesImport::Button_tallozasClick));
    connect(Button_importalas, &QPushButton::clicked, this,
            command(&TFormBeszerzesImport::Button_importalasClick));
    connect(Button_kilepes, &QPushButton::clicked, this, &QDialog::close);
    controlsMade();
}

void TFormBeszerzesImport::Button_tallozasClick() {
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("CSV-fájl választása"), QDir::homePath(),
                                     QStringLiteral("CSV-fájlok (*.csv *.txt);;Minden fájl (*)"));
    if (!file.isEmpty())
        Edit_fajl->setText(QDir::toNativeSeparators(file));
}

void TFormBeszerzesImport::Button_mintaClick() {
    // The example row's month must be one of the record's quarter.
    if (ComboBox_intezmenyid->currentIndex() < 0) {
        platform::showWarning(QStringLiteral("Válasszon adatszolgáltatót!"));
        return;
    }
    ADOTable_View_Intezmeny.setCurrentRow(ComboBox_intezmenyid->currentIndex());
    const QString quarter = ADOTable_View_Intezmeny.text(QStringLiteral("Adatszolgnegyedev"));
    const QString file =
        QFileDialog::getSaveFileName(this, QStringLiteral("Minta mentése"),
                                     QDir::home().filePath(QStringLiteral("beszerzesek_minta.csv")),
                                     QStringLiteral("CSV-fájlok (*.csv)"));
    if (file.isEmpty())
        return;
    purchase::writeItemTemplate(file, quarter);
    platform::showMessage(QStringLiteral("A minta elkészült: ") + QDir::toNativeSeparators(file));
}

void TFormBeszerzesImport::Button_importalasClick() {
    if (ComboBox_intezmenyid->currentIndex() < 0) {
        platform::showWarning(QStringLiteral("Válasszon adatszolgáltatót!"));
        return;
    }
    const QString csvPath = QDir::fromNativeSeparators(Edit_fajl->text().trimmed());
    if (csvPath.isEmpty()) {
        platform::showWarning(QStringLiteral("Válassza ki a CSV-fájlt!"));
        return;
    }
    ADOTable_View_Intezmeny.setCurrentRow(ComboBox_intezmenyid->currentIndex());
    const purchase::ReportKey key{
        ADOTable_View_Intezmeny.text(QStringLiteral("Adosajat")),
        ADOTable_View_Intezmeny.text(QStringLiteral("Adatszolgev")),
        ADOTable_View_Intezmeny.text(QStringLiteral("Adatszolgnegyedev"))};
    backup::backUpBeforeChange(backup::warnInWindow);
    auto result = purchase::importItemFile(csvPath, key);
    const bool duplicatesRefused =
        result.onlyDuplicates() &&
        platform::showConfirmation(purchase::duplicateQuestion(result),
                                   {platform::Button::Yes, platform::Button::No},
                                   platform::Button::No) != platform::Button::Yes;
    if (result.onlyDuplicates() && !duplicatesRefused)
        result = purchase::importItemFile(csvPath, key, {.allowDuplicates = true});
    const bool listSaved = purchase::saveFaultList(csvPath, result);
    ListBox_hibak->clear();
    if (result.faults.isEmpty()) {
        const QString summary = purchase::importSummary(result, key);
        ListBox_hibak->addItem(summary);
        platform::showMessage(summary);
        return;
    }
    ListBox_hibak->addItems(purchase::faultLines(result));
    // The user has just chosen not to import the rows again.
    if (duplicatesRefused)
        return;
    // A list is written only beside a regular file: the lines above are then all there is.
    const QString found =
        QStringLiteral("Nem történt importálás: %1 hibát talált.").arg(result.faults.size());
    platform::showWarning(listSaved ? found + QStringLiteral(" A hibalista: ") +
                                          QDir::toNativeSeparators(purchase::faultListPath(csvPath))
                                    : found);
}
