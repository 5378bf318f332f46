#include "db/connection.h"
#include "db/query.h"
#include "db/widgets/bound_grid.h"
#include "db/widgets/bound_line_edit.h"
#include "db/widgets/bound_lookup_combo_box.h"
#include "institution/widgets/UnitAdatlapInt.h"
#include "pickers/UnitFa.h"
#include "pickers/UnitLista.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"
#include "support/user_input.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using platform::Button;
using platform::MessageKind;
using testsupport::chooseKey;
using testsupport::click;
using testsupport::ProgramFolder;
using testsupport::ScriptedMessages;
using testsupport::ShownBox;
using testsupport::type;

Q_DECLARE_METATYPE(testsupport::ShownBox)

namespace {

// One data-provider record as the user types it, column by column.
using Record = QMap<QString, QString>;

Record validRecord() {
    return {{QStringLiteral("Adosajat"), QStringLiteral("12345676")},
            {QStringLiteral("Adatszolgev"), QStringLiteral("2007")},
            {QStringLiteral("Adatszolgnegyedev"), QStringLiteral("1")},
            {QStringLiteral("Intnev"), QStringLiteral("Szent Lázár' Kórház")},
            {QStringLiteral("Sz_megyekod"), QStringLiteral("13")},
            {QStringLiteral("Sz_telepuleskod"), QStringLiteral("30988")},
            {QStringLiteral("Irsz"), QStringLiteral("2030")},
            {QStringLiteral("Utca"), QStringLiteral("Fő' utca")},
            {QStringLiteral("Hsz"), QStringLiteral("12")},
            {QStringLiteral("Intag"), QStringLiteral("8512")},
            {QStringLiteral("Gazdfor"), QStringLiteral("11")},
            {QStringLiteral("I_ANTSZkod"), QStringLiteral("A12'45")},
            {QStringLiteral("Toltnev"), QStringLiteral("Kiss Anna")},
            {QStringLiteral("Tolttel"), QStringLiteral("06-1-234-5678")},
            {QStringLiteral("Toltmail"), QStringLiteral("o'kiss@korhaz.hu")},
            {QStringLiteral("Vezetonev"), QStringLiteral("Dr. Nagy Béla")},
            {QStringLiteral("Vezetotel"), QStringLiteral("06-1-234-0000")},
            {QStringLiteral("Vezetomail"), QStringLiteral("nincs")}};
}

// The record as stored, with the settlement name the editor looked up.
Record storedRecord(const Record& typed) {
    Record stored = typed;
    stored.insert(QStringLiteral("Telepules"), QStringLiteral("Érd"));
    return stored;
}

void insertRecord(const Record& record) {
    QStringList columns;
    QStringList marks;
    QVariantList values;
    for (auto it = record.begin(); it != record.end(); ++it) {
        columns.append(it.key());
        marks.append(QStringLiteral("?"));
        values.append(it.value());
    }
    db::execute(QStringLiteral("insert into AdatlapInt (%1) values (%2)")
                    .arg(columns.join(u','), marks.join(u',')),
                values);
}

Record keyed(const QString& adosajat, const QString& year, const QString& quarter,
             const QString& name = QStringLiteral("Régi Kórház")) {
    Record record = storedRecord(validRecord());
    record.insert(QStringLiteral("Adosajat"), adosajat);
    record.insert(QStringLiteral("Adatszolgev"), year);
    record.insert(QStringLiteral("Adatszolgnegyedev"), quarter);
    record.insert(QStringLiteral("Intnev"), name);
    return record;
}

QList<Record> storedRecords() {
    QList<Record> records;
    for (db::Query query(QStringLiteral("select * from AdatlapInt order by rowid")); !query.eof();
         query.next()) {
        Record record;
        for (int i = 0; i < query.fieldCount(); ++i) {
            if (!query.text(i).isEmpty())
                record.insert(query.fieldName(i), query.text(i));
        }
        records.append(record);
    }
    return records;
}

void insertPurchaseItem(const QString& adosajat, int year, const QString& quarter, int number) {
    db::execute(QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, "
                               "Tetelsorszam, Termszolgnev) values (?, ?, ?, ?, 'tétel')"),
                {adosajat, year, quarter, number});
}

// The report keys of the purchase items, one text per item.
QStringList purchaseKeys() {
    QStringList keys;
    for (db::Query query(QStringLiteral("select Adosajat, Beszerzev, Beszerznegyedev, "
                                        "Tetelsorszam from AdatlapBR order by Tetelsorszam"));
         !query.eof(); query.next())
        keys.append(
            QStringList{query.text(0), query.text(1), query.text(2), query.text(3)}.join(u'/'));
    return keys;
}

// A second connection to the file inside a read transaction: until it ends, no other connection
// can commit a change.
class ReadLock {
public:
    explicit ReadLock(const QString& path) {
        auto reader = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        reader.setDatabaseName(path);
        QVERIFY(reader.open() && reader.transaction());
        QSqlQuery query(reader);
        QVERIFY(query.exec(QStringLiteral("select count(*) from AdatlapInt")) && query.next());
    }
    ~ReadLock() {
        {
            auto reader = QSqlDatabase::database(kName);
            reader.commit();
            reader.close();
        }
        QSqlDatabase::removeDatabase(kName);
    }

private:
    static inline const QString kName = QStringLiteral("reader");
};

ShownBox warning(const QString& text) {
    return {MessageKind::Warning, text, {Button::Ok}};
}

ShownBox plain(const QString& text) {
    return {MessageKind::Plain, text, {Button::Ok}};
}

}  // namespace

class TestUnitAdatlapInt : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        folder_ = std::make_unique<ProgramFolder>();
        messages_ = std::make_unique<ScriptedMessages>();
    }

    void cleanup() {
        form_.reset();
        messages_.reset();
        folder_.reset();
    }

    void windowLayout() {
        open();
        QCOMPARE(form_->windowTitle(),
                 QStringLiteral("Egészségügyi intézmények árinformációi, OSAP 9052/06 "
                                "statisztikai adatjelentés, adatjelentő intézmény adatai"));
        QCOMPARE(form_->size(), QSize(794, 374));
        QCOMPARE(form_->GroupBox_grid->size(), QSize(623, 121));
        QCOMPARE(form_->GroupBox_edit->size(), QSize(623, 249));
        QCOMPARE(form_->GroupBox_dbmuv->size(), QSize(161, 185));
        QCOMPARE(form_->GroupBox_editmuv->size(), QSize(161, 121));
        QCOMPARE(form_->GroupBox_kilep->size(), QSize(161, 65));
        for (auto* panel : form_->findChildren<QGroupBox*>())
            QCOMPARE(panel->title(), QString());
        // Every control of the edit panel fits into it.
        QVERIFY(form_->GroupBox_edit->layout()->minimumSize().width() <= 623);
        QVERIFY(form_->GroupBox_edit->layout()->minimumSize().height() <= 249);

        QStringList titles;
        const auto* grid = form_->DBGrid_AdatlapInt->model();
        for (int i = 0; i < grid->columnCount(); ++i)
            titles.append(grid->headerData(i, Qt::Horizontal).toString());
        QCOMPARE(titles, (QStringList{u"Intnev"_s, u"Sz_megyekod"_s, u"Sz_telepuleskod"_s,
                                      u"Irsz"_s, u"Telepules"_s, u"Utca"_s, u"Hsz"_s, u"Intag"_s,
                                      u"Gazdfor"_s, u"I_ANTSZkod"_s, u"Toltnev"_s, u"Toltmail"_s,
                                      u"Tolttel"_s, u"Vezetonev"_s, u"Vezetomail"_s, u"Vezetotel"_s,
                                      u"Adatszolgev"_s, u"Adatszolgnegyedev"_s, u"Adosajat"_s}));

        QCOMPARE(form_->Button_felvitel->palette().color(QPalette::ButtonText), QColor(Qt::blue));
        QCOMPARE(form_->Button_torles->palette().color(QPalette::ButtonText), QColor(Qt::red));
        // Greyed out while editing, they look it.
        for (auto* button : {form_->Button_felvitel, form_->Button_torles})
            QCOMPARE(
                button->palette().color(QPalette::Disabled, QPalette::ButtonText),
                form_->Button_modositas->palette().color(QPalette::Disabled, QPalette::ButtonText));
        for (auto* panel : {form_->GroupBox_dbmuv, form_->GroupBox_editmuv, form_->GroupBox_kilep})
            for (auto* control : panel->findChildren<QAbstractButton*>())
                QVERIFY2(control->font().bold(), qPrintable(control->text()));
        QVERIFY(form_->RadioButton_elsodleges->isChecked());
        verifyBrowsing();
    }

    void editControlsInTabOrderWithTheirLabels() {
        open();
        const QList<std::pair<QWidget*, QString>> expected = {
            {form_->DBEdit_adosajat, u"KSH Törzsszám (Adószám első nyolc karaktere):"_s},
            {form_->DBEdit_Adatszolgev, u"Jelentés éve:"_s},
            {form_->DBLookupComboBox_adatszolgnegyedev, u"Negyedéve:"_s},
            {form_->DBEdit_intnev, u"Adatszolgáltató szervezet neve:"_s},
            {form_->DBLookupComboBox_sz_megyekod, u"Székhely KSH megyekódja:"_s},
            {form_->DBEdit_sz_telepuleskod, u"Székhely KSH településazonosító:"_s},
            {form_->Button_telepules, QString()},
            {form_->DBLookupComboBox_irsz, u"Irányítószám:"_s},
            {form_->DBEdit_telepules, u"Város/község: "_s},
            {form_->DBEdit_utca, u"Utca:"_s},
            {form_->DBEdit_hsz, u"Hsz:"_s},
            {form_->DBEdit_intag, u"Szakágazat:"_s},
            {form_->Button_szakag, QString()},
            {form_->Edit_intagnev, u"-------->"_s},
            {form_->DBLookupComboBox_gazdfor, u"Gazdálkodási forma:"_s},
            {form_->DBEdit_I_ANTSZkod, u"ÁNTSZ szolgáltató azonosító kód:"_s},
            {form_->DBEdit_toltnev, u"Kitöltő neve:"_s},
            {form_->DBEdit_vezetonev, u"Vezető neve:"_s},
            {form_->DBEdit_tolttel, u"Kitöltő telefonszáma:"_s},
            {form_->DBEdit_vezetotel, u"Vezető telefonszáma:"_s},
            {form_->DBEdit_toltmail, u"Kitöltő E-mail címe:"_s},
            {form_->DBEdit_vezetomail, u"Vezető E-mail címe:"_s}};
        QHash<QWidget*, QString> labels;
        for (auto* label : form_->GroupBox_edit->findChildren<QLabel*>())
            labels.insert(label->buddy(), label->text());
        for (int i = 0; i < expected.size(); ++i) {
            QWidget* control = expected.at(i).first;
            QCOMPARE(labels.value(control), expected.at(i).second);
            if (i > 0)
                QCOMPARE(expected.at(i - 1).first->nextInFocusChain(), control);
        }
        QCOMPARE(form_->Button_telepules->text(), QStringLiteral("Település"));
        QCOMPARE(form_->Button_szakag->text(), QStringLiteral("Szakág"));

        const QList<std::pair<db::BoundLineEdit*, int>> widths = {
            {form_->DBEdit_adosajat, 8},   {form_->DBEdit_Adatszolgev, 4},
            {form_->DBEdit_intnev, 80},    {form_->DBEdit_sz_telepuleskod, 5},
            {form_->DBEdit_telepules, 30}, {form_->DBEdit_utca, 30},
            {form_->DBEdit_hsz, 3},        {form_->DBEdit_intag, 4},
            {form_->DBEdit_I_ANTSZkod, 6}, {form_->DBEdit_toltnev, 30},
            {form_->DBEdit_tolttel, 20},   {form_->DBEdit_toltmail, 30},
            {form_->DBEdit_vezetonev, 30}, {form_->DBEdit_vezetotel, 20},
            {form_->DBEdit_vezetomail, 30}};
        for (const auto& [box, width] : widths)
            QCOMPARE(box->maxLength(), width);
        QVERIFY(form_->DBEdit_telepules->isReadOnly());
        QVERIFY(form_->Edit_intagnev->isReadOnly());
        // The quarter and the postcode are shown in full beside the arrow.
        for (QComboBox* box : {static_cast<QComboBox*>(form_->DBLookupComboBox_adatszolgnegyedev),
                               static_cast<QComboBox*>(form_->DBLookupComboBox_irsz)}) {
            QStyleOptionComboBox option;
            option.initFrom(box);
            const int room = box->style()
                                 ->subControlRect(QStyle::CC_ComboBox, &option,
                                                  QStyle::SC_ComboBoxEditField, box)
                                 .width();
            for (int item = 0; item < box->count(); ++item)
                QVERIFY2(box->fontMetrics().horizontalAdvance(box->itemText(item)) <= room,
                         qPrintable(box->itemText(item)));
        }

        click(form_->Button_felvitel);
        type(form_->DBEdit_Adatszolgev, QStringLiteral("2a0+b-7"));
        QCOMPARE(form_->DBEdit_Adatszolgev->text(), QStringLiteral("20+-"));
        click(form_->Button_megsem);
    }

    void addingAValidRecord() {
        open();
        click(form_->Button_felvitel);
        verifyEditing();
        QCOMPARE(QApplication::focusWidget(), form_->DBEdit_intnev);
        fill(validRecord());
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(), QList<ShownBox>());
        verifyBrowsing();
        QCOMPARE(storedRecords(), QList<Record>{storedRecord(validRecord())});
        QCOMPARE(form_->DBGrid_AdatlapInt->model()->rowCount(), 1);

        // Read back by a new window unchanged, the apostrophes included.
        form_.reset();
        open();
        QCOMPARE(form_->DBEdit_intnev->text(), QStringLiteral("Szent Lázár' Kórház"));
        QCOMPARE(form_->DBEdit_I_ANTSZkod->text(), QStringLiteral("A12'45"));
        QCOMPARE(form_->DBEdit_telepules->text(), QStringLiteral("Érd"));
        QCOMPARE(form_->Edit_intagnev->text(), QStringLiteral("Járóbeteg-ellátás"));
        QCOMPARE(form_->DBLookupComboBox_adatszolgnegyedev->currentText(),
                 QStringLiteral("I. negyedév"));
    }

    void firstWrongFieldStopsTheStore_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<ShownBox>("message");
        auto row = [](const char* name, const char* column, const QString& value,
                      const ShownBox& message) {
            QTest::newRow(name) << QString::fromLatin1(column) << value << message;
        };
        row("tax number short", "Adosajat", u"1234567"_s,
            warning(u"A 'törzsszám' nevű mezőnek 8 jegyből kell állnia!!!"_s));
        row("tax number not digits", "Adosajat", u"1234 676"_s,
            warning(u"A 'törzsszám' nevű mező csak számjegyekből állhat!!!"_s));
        row("year short", "Adatszolgev", u"207"_s,
            warning(u"A 'Adatszolgáltatás éve' nevű mező nem lehet 4 karakternél rövidebb!!!"_s));
        row("year with a sign", "Adatszolgev", u"+207"_s,
            warning(u"A 'Adatszolgáltatás éve' nevű mező csak számjegyekből állhat!!!"_s));
        row("no quarter", "Adatszolgnegyedev", u""_s,
            warning(u"A 'Adatszolgáltatás negyedéve' nevű mező nincs kitöltve!!!"_s));
        row("no name", "Intnev", u""_s,
            warning(u"A 'Adatszolgáltató neve' nevű mező nincs kitöltve!!!"_s));
        row("no county", "Sz_megyekod", u""_s, warning(u"A 'megye' nevű mező nincs kitöltve!!!"_s));
        row("settlement code short", "Sz_telepuleskod", u"0220"_s,
            warning(u"A 'település' nevű mezőnek 5 jegyből kell állnia!!!"_s));
        row("settlement not found", "Sz_telepuleskod", u"99999"_s,
            plain(u"Nincs ilyen kódú település!"_s));
        row("no postcode", "Irsz", u""_s,
            warning(u"A 'irányítószám' nevű mező nincs kitöltve!!!"_s));
        row("no street", "Utca", u""_s, warning(u"A 'út' nevű mező nincs kitöltve!!!"_s));
        row("no house number", "Hsz", u""_s, warning(u"A 'házszám' nevű mező nincs kitöltve!!!"_s));
        row("sector of a division", "Intag", u"85"_s,
            warning(u"A 'szakágazat' nevű mezőnek 4 jegyből kell állnia!!!"_s));
        row("sector not found", "Intag", u"8599"_s, plain(u"Nincs ilyen kódú szakág!"_s));
        row("no legal form", "Gazdfor", u""_s,
            warning(u"A 'gazdálkodási forma' nevű mező nincs kitöltve!!!"_s));
        row("health-authority code short", "I_ANTSZkod", u"abc"_s,
            warning(u"A 'Adatszolgáltató ANTSZ kódja' nevű mező nem lehet 6 karakternél "
                    u"rövidebb!!!"_s));
        row("no filler", "Toltnev", u""_s,
            warning(u"A 'kitöltő neve' nevű mező nincs kitöltve!!!"_s));
        row("no filler phone", "Tolttel", u""_s,
            warning(u"A 'kitöltő telefonszáma' nevű mező nincs kitöltve!!!"_s));
        row("no filler e-mail", "Toltmail", u""_s,
            warning(u"kitöltő email címe e-mail címet kötelező kitölteni! Amennyiben nincs "
                    u"e-mail címe, kérem írja be a \"nincs\" szót!!!"_s));
        row("no head", "Vezetonev", u""_s,
            warning(u"A 'vezető neve' nevű mező nincs kitöltve!!!"_s));
        row("no head phone", "Vezetotel", u""_s,
            warning(u"A 'vezető telefonszáma' nevű mező nincs kitöltve!!!"_s));
        row("bad head e-mail", "Vezetomail", u"nagy@korhaz."_s,
            warning(u"vezető email címe e-mail cím nem szabályos e-mail cím!!!"_s));
        const auto control = [](const char* label) {
            return warning(QStringLiteral("A '%1' nevű mező nem tartalmazhat vezérlőkaraktert!!!")
                               .arg(QString::fromUtf8(label)));
        };
        row("NUL in the name", "Intnev", QStringLiteral("Szent%1Lázár").arg(QChar(0)),
            control("Adatszolgáltató neve"));
        row("TAB in the street", "Utca", u"Fő\tutca"_s, control("út"));
        row("DEL in a phone", "Tolttel", u"1234\x7f"_s, control("kitöltő telefonszáma"));
        row("ESC in an e-mail", "Vezetomail", u"nagy@korhaz.hu\x1b"_s,
            control("vezető email címe"));
    }

    void firstWrongFieldStopsTheStore() {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(ShownBox, message);
        open();
        click(form_->Button_felvitel);
        Record record = validRecord();
        record.insert(column, value);
        fill(record);
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(), QList<ShownBox>{message});
        verifyEditing();
        QCOMPARE(storedRecords(), QList<Record>());
        QCOMPARE(shownValue(column), value);
        QCOMPARE(form_->ADOTable_AdatlapInt.mode(), db::Table::Mode::Insert);
    }

    void taxNumberWithAWrongCheckDigit_data() {
        QTest::addColumn<Button>("answer");
        QTest::addColumn<bool>("stored");
        QTest::newRow("OK goes on") << Button::Ok << true;
        QTest::newRow("No stops") << Button::No << false;
        QTest::newRow("closed goes on") << Button::None << true;
    }

    void taxNumberWithAWrongCheckDigit() {
        QFETCH(Button, answer);
        QFETCH(bool, stored);
        open();
        click(form_->Button_felvitel);
        Record record = validRecord();
        record.insert(QStringLiteral("Adosajat"), QStringLiteral("12345670"));
        fill(record);
        messages_->answer(answer);
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(),
                 (QList<ShownBox>{{MessageKind::Confirmation,
                                   QStringLiteral("A 'törzsszám' nevű mezőben megadott "
                                                  "adószámnak ellenőrző karaktere hibás! Valóban "
                                                  "ez az intézmény hivatalos adószáma?"),
                                   {Button::No, Button::Ok}}}));
        QCOMPARE(storedRecords().size(), stored ? 1 : 0);
        QCOMPARE(form_->Button_felvitel->isEnabled(), stored);
    }

    void duplicateKeyWhenAdding() {
        insertRecord(
            keyed(QStringLiteral("12345676"), QStringLiteral("2007"), QStringLiteral("1")));
        open();
        click(form_->Button_felvitel);
        Record record = validRecord();
        record.insert(QStringLiteral("Intnev"), QString());  // checked only after the key
        fill(record);
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(),
                 QList<ShownBox>{warning(
                     u"A kért adószám, év, negyedév hármassal már töltött ki adatlapot!!!"_s)});
        QCOMPARE(storedRecords().size(), 1);
        verifyEditing();
    }

    void modifyingWithoutChangingTheKey() {
        insertRecord(
            keyed(QStringLiteral("12345676"), QStringLiteral("2006"), QStringLiteral("4")));
        insertPurchaseItem(QStringLiteral("12345676"), 2006, QStringLiteral("4"), 1);
        open();
        click(form_->Button_modositas);
        verifyEditing();
        QCOMPARE(form_->OldAdatszolgev, QStringLiteral("2006"));
        type(form_->DBEdit_intnev, QStringLiteral("Új Név"));
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(), QList<ShownBox>());
        verifyBrowsing();
        QCOMPARE(storedRecords().first().value(QStringLiteral("Intnev")), QStringLiteral("Új Név"));
        QCOMPARE(purchaseKeys(), QStringList{QStringLiteral("12345676/2006/4/1")});
    }

    void modifyingOnlyTheQuarterMovesThePurchaseItems() {
        insertRecord(
            keyed(QStringLiteral("12345676"), QStringLiteral("2006"), QStringLiteral("4")));
        insertPurchaseItem(QStringLiteral("12345676"), 2006, QStringLiteral("4"), 1);
        insertPurchaseItem(QStringLiteral("12345676"), 2006, QStringLiteral("4"), 2);
        insertPurchaseItem(QStringLiteral("99999999"), 2006, QStringLiteral("4"), 3);
        open();
        click(form_->Button_modositas);
        chooseKey(form_->DBLookupComboBox_adatszolgnegyedev, QStringLiteral("1"));
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(), QList<ShownBox>());
        verifyBrowsing();
        QCOMPARE(storedRecords().first().value(QStringLiteral("Adatszolgnegyedev")),
                 QStringLiteral("1"));
        QCOMPARE(purchaseKeys(), (QStringList{u"12345676/2006/1/1"_s, u"12345676/2006/1/2"_s,
                                              u"99999999/2006/4/3"_s}));
    }

    void modifyingIntoAnotherRecordsKey() {
        insertRecord(
            keyed(QStringLiteral("12345676"), QStringLiteral("2006"), QStringLiteral("4")));
        insertRecord(keyed(QStringLiteral("12345676"), QStringLiteral("2007"), QStringLiteral("1"),
                           QStringLiteral("Második")));
        insertPurchaseItem(QStringLiteral("12345676"), 2007, QStringLiteral("1"), 1);
        const QList<Record> before = storedRecords();
        open();
        form_->DBGrid_AdatlapInt->setCurrentIndex(form_->DBGrid_AdatlapInt->model()->index(1, 0));
        click(form_->Button_modositas);
        type(form_->DBEdit_Adatszolgev, QStringLiteral("2006"));
        chooseKey(form_->DBLookupComboBox_adatszolgnegyedev, QStringLiteral("4"));
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(),
                 QList<ShownBox>{warning(
                     u"A kért adószám, év, negyedév hármassal már töltött ki adatlapot!!!"_s)});
        verifyEditing();
        QCOMPARE(storedRecords(), before);
        QCOMPARE(purchaseKeys(), QStringList{QStringLiteral("12345676/2007/1/1")});
    }

    void failedStoreAfterReKeyingChangesNeitherTable() {
        insertRecord(
            keyed(QStringLiteral("12345676"), QStringLiteral("2006"), QStringLiteral("4")));
        insertPurchaseItem(QStringLiteral("12345676"), 2006, QStringLiteral("4"), 1);
        const QList<Record> before = storedRecords();
        db::execute(
            QStringLiteral("create trigger refuse before update on AdatlapInt "
                           "begin select raise(abort, 'A rekord zárolva van'); end"));
        open();
        click(form_->Button_modositas);
        chooseKey(form_->DBLookupComboBox_adatszolgnegyedev, QStringLiteral("1"));
        click(form_->Button_tarolas);
        const auto shown = messages_->take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, MessageKind::Error);
        QVERIFY2(shown.first().text.contains(QStringLiteral("A rekord zárolva van")),
                 qPrintable(shown.first().text));
        verifyEditing();
        QCOMPARE(storedRecords(), before);
        QCOMPARE(purchaseKeys(), QStringList{QStringLiteral("12345676/2006/4/1")});

        // Once the cause is gone the same store goes through.
        db::execute(QStringLiteral("drop trigger refuse"));
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(), QList<ShownBox>());
        QCOMPARE(purchaseKeys(), QStringList{QStringLiteral("12345676/2006/1/1")});
    }

    // Another process reads the file past the busy time-out: the commit fails with the engine's
    // text and nothing changes; once the reader is gone the same click goes through and the file
    // holds exactly what the user stored.
    void storingWhileAnotherProcessReads_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<Record>>("stored");
        QTest::addColumn<QStringList>("items");
        const Record old =
            keyed(QStringLiteral("12345676"), QStringLiteral("2006"), QStringLiteral("4"));
        Record reKeyed = old;
        reKeyed.insert(QStringLiteral("Adatszolgnegyedev"), QStringLiteral("1"));
        QTest::newRow("adding") << "adding" << QList<Record>{old, storedRecord(validRecord())}
                                << QStringList{u"12345676/2006/4/1"_s};
        QTest::newRow("re-keying")
            << "re-keying" << QList<Record>{reKeyed} << QStringList{u"12345676/2006/1/1"_s};
        QTest::newRow("deleting") << "deleting" << QList<Record>{} << QStringList{};
    }

    void storingWhileAnotherProcessReads() {
        QFETCH(QString, action);
        QFETCH(QList<Record>, stored);
        QFETCH(QStringList, items);
        const bool deleting = action == u"deleting";
        insertRecord(
            keyed(QStringLiteral("12345676"), QStringLiteral("2006"), QStringLiteral("4")));
        if (!deleting)
            insertPurchaseItem(QStringLiteral("12345676"), 2006, QStringLiteral("4"), 1);
        db::setBusyTimeout(100);
        const QList<Record> recordsBefore = storedRecords();
        const QStringList itemsBefore = purchaseKeys();
        open();
        QPushButton* button = deleting ? form_->Button_torles : form_->Button_tarolas;
        if (action == u"adding") {
            click(form_->Button_felvitel);
            fill(validRecord());
        } else if (action == u"re-keying") {
            click(form_->Button_modositas);
            chooseKey(form_->DBLookupComboBox_adatszolgnegyedev, QStringLiteral("1"));
        }
        const int gridRows = form_->DBGrid_AdatlapInt->model()->rowCount();
        {
            ReadLock reader(folder_->databasePath());
            if (deleting)
                messages_->answer(Button::Ok);
            click(button);
            QCOMPARE(messages_->take().constLast(),
                     (ShownBox{MessageKind::Error,
                               QStringLiteral("Az adatbázist egy másik program használja; zárja "
                                              "be, és próbálja újra. (database is locked)."),
                               {Button::Ok}}));
            QCOMPARE(storedRecords(), recordsBefore);
            QCOMPARE(purchaseKeys(), itemsBefore);
            QCOMPARE(form_->DBGrid_AdatlapInt->model()->rowCount(), gridRows);
            verifyPanels(!deleting);
        }
        if (deleting)
            messages_->answer(Button::Ok);
        click(button);
        QCOMPARE(messages_->take().size(), deleting ? 1 : 0);
        verifyBrowsing();
        QCOMPARE(storedRecords(), stored);
        QCOMPARE(purchaseKeys(), items);
        QCOMPARE(form_->DBGrid_AdatlapInt->model()->rowCount(), stored.size());
    }

    // Made larger than its designed size (larger fonts need the room), the editor gives the room
    // to its grid and edit panel; the command panels keep to the right edge, "Kilépés" to the
    // bottom.
    void growsBeyondItsDesignedSize() {
        open();
        const QSize designed = form_->size();
        form_->resize(designed + QSize(200, 100));
        QTRY_COMPARE(form_->GroupBox_edit->width(), 623 + 200);
        const QWidget* page = form_->GroupBox_edit->parentWidget();
        QCOMPARE(form_->GroupBox_grid->height(), 121 + 100);
        QCOMPARE(form_->GroupBox_dbmuv->geometry().right(), page->width() - 3);
        QCOMPARE(form_->GroupBox_kilep->geometry().bottom(), page->height() - 1);
    }

    void emptyTableRefusesModifyAndDelete() {
        open();
        click(form_->Button_modositas);
        click(form_->Button_torles);
        QCOMPARE(messages_->take(),
                 (QList<ShownBox>{warning(u"Nincs rekord, így nem módosíthat!!"_s),
                                  warning(u"Nincs rekord, így nem törölhet!!"_s)}));
        verifyBrowsing();
    }

    void deleting_data() {
        QTest::addColumn<bool>("withItems");
        QTest::addColumn<Button>("answer");
        QTest::addColumn<bool>("removed");
        QTest::newRow("purchase items present") << true << Button::None << false;
        QTest::newRow("No keeps") << false << Button::No << false;
        QTest::newRow("closed keeps") << false << Button::None << false;
        QTest::newRow("OK removes") << false << Button::Ok << true;
    }

    void deleting() {
        QFETCH(bool, withItems);
        QFETCH(Button, answer);
        QFETCH(bool, removed);
        insertRecord(
            keyed(QStringLiteral("12345676"), QStringLiteral("2006"), QStringLiteral("4")));
        insertRecord(keyed(QStringLiteral("12345676"), QStringLiteral("2007"), QStringLiteral("1"),
                           QStringLiteral("Második")));
        if (withItems)
            insertPurchaseItem(QStringLiteral("12345676"), 2007, QStringLiteral("1"), 1);
        open();
        form_->DBGrid_AdatlapInt->setCurrentIndex(form_->DBGrid_AdatlapInt->model()->index(1, 0));
        if (!withItems)
            messages_->answer(answer);
        click(form_->Button_torles);
        if (withItems)
            QCOMPARE(messages_->take(),
                     QList<ShownBox>{plain(u"A rekordot nem lehet törölni, mivel tartozik hozzá "
                                           u"bejegyzés a Beszerzési adatlapon! Törölje először "
                                           u"azokat!"_s)});
        else
            QCOMPARE(messages_->take(),
                     (QList<ShownBox>{{MessageKind::Confirmation,
                                       QStringLiteral("Biztosan törölni akarja?"),
                                       {Button::No, Button::Ok}}}));
        QCOMPARE(storedRecords().size(), removed ? 1 : 2);
        QCOMPARE(form_->DBGrid_AdatlapInt->model()->rowCount(), removed ? 1 : 2);
        verifyBrowsing();
        QCOMPARE(QApplication::focusWidget(), form_->DBGrid_AdatlapInt);
    }

    void refusedDeletionKeepsTheRecord() {
        insertRecord(
            keyed(QStringLiteral("12345676"), QStringLiteral("2006"), QStringLiteral("4")));
        db::execute(
            QStringLiteral("create trigger refuse before delete on AdatlapInt "
                           "begin select raise(abort, 'A rekord zárolva van'); end"));
        open();
        messages_->answer(Button::Ok);
        click(form_->Button_torles);
        const auto shown = messages_->take();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.last().kind, MessageKind::Error);
        QVERIFY2(shown.last().text.contains(QStringLiteral("A rekord zárolva van")),
                 qPrintable(shown.last().text));
        QCOMPARE(storedRecords().size(), 1);
        QCOMPARE(form_->DBGrid_AdatlapInt->model()->rowCount(), 1);
        verifyBrowsing();
    }

    void cancelling() {
        insertRecord(
            keyed(QStringLiteral("12345676"), QStringLiteral("2006"), QStringLiteral("4")));
        open();
        click(form_->Button_felvitel);
        type(form_->DBEdit_intnev, QStringLiteral("Félbehagyott"));
        QCOMPARE(form_->DBGrid_AdatlapInt->model()->rowCount(), 2);
        click(form_->Button_megsem);
        verifyBrowsing();
        QCOMPARE(form_->DBGrid_AdatlapInt->model()->rowCount(), 1);
        QCOMPARE(form_->DBEdit_intnev->text(), QStringLiteral("Régi Kórház"));

        click(form_->Button_modositas);
        type(form_->DBEdit_intnev, QStringLiteral("Más név"));
        click(form_->Button_megsem);
        verifyBrowsing();
        QCOMPARE(form_->DBEdit_intnev->text(), QStringLiteral("Régi Kórház"));
        QCOMPARE(storedRecords().first().value(QStringLiteral("Intnev")),
                 QStringLiteral("Régi Kórház"));
    }

    // The question and its answers are the purchase editor's; here "Nem" drops the record.
    void exitWhileEditingAsksAndNemStoresNothing() {
        open();
        click(form_->Button_felvitel);
        fill(validRecord());
        QVERIFY(form_->Button_kilepes->isEnabled());
        messages_->answer(Button::No);
        click(form_->Button_kilepes);
        QCOMPARE(messages_->takeTexts(),
                 QStringList{u"A szerkesztett sor még nincs tárolva. Tárolja kilépés előtt?"_s});
        QVERIFY(!form_->isVisible());
        form_.reset();
        QCOMPARE(storedRecords(), QList<Record>());
    }

    void keysInTheEditPanelKeepTheRecord() {
        open();
        click(form_->Button_felvitel);
        type(form_->DBEdit_intnev, QStringLiteral("Félig kész"));
        // No window of its own may open on Enter; one that did is closed and reported.
        QString opened;
        QTimer::singleShot(0, this, [&] {
            if (QWidget* window = QApplication::activeModalWidget()) {
                opened = window->objectName();
                window->close();
            }
        });
        QTest::keyClick(form_->DBEdit_intnev, Qt::Key_Return);
        // Esc asks before it closes; "Mégse" keeps the window.
        messages_->answer(Button::Cancel);
        QTest::keyClick(form_->DBEdit_intnev, Qt::Key_Escape);
        QApplication::processEvents();
        QCOMPARE(messages_->takeTexts().size(), 1);
        QCOMPARE(opened, QString());
        QVERIFY(form_->isVisible());
        verifyEditing();
        QCOMPARE(form_->ADOTable_AdatlapInt.mode(), db::Table::Mode::Insert);
        QCOMPARE(form_->DBEdit_intnev->text(), QStringLiteral("Félig kész"));
    }

    // The name order is Hungarian: "Ádám" comes before "Banán", not after every plain letter.
    void sortOrders() {
        insertRecord(keyed(QStringLiteral("11111111"), QStringLiteral("2007"), QStringLiteral("2"),
                           QStringLiteral("Cékla")));
        insertRecord(keyed(QStringLiteral("22222222"), QStringLiteral("2007"), QStringLiteral("3"),
                           QStringLiteral("Ádám")));
        insertRecord(keyed(QStringLiteral("33333333"), QStringLiteral("2007"), QStringLiteral("1"),
                           QStringLiteral("Banán")));
        open();
        QCOMPARE(gridNames(), (QStringList{u"Cékla"_s, u"Ádám"_s, u"Banán"_s}));
        click(form_->RadioButton_elsodleges);
        QCOMPARE(gridNames(), (QStringList{u"Cékla"_s, u"Ádám"_s, u"Banán"_s}));
        click(form_->RadioButton_masodlagos);
        QCOMPARE(gridNames(), (QStringList{u"Banán"_s, u"Cékla"_s, u"Ádám"_s}));
        click(form_->RadioButton_elsodleges);
        QCOMPARE(gridNames(), (QStringList{u"Ádám"_s, u"Banán"_s, u"Cékla"_s}));
    }

    void browsingShowsEachRowsSectorName() {
        Record first =
            keyed(QStringLiteral("11111111"), QStringLiteral("2007"), QStringLiteral("1"));
        first.insert(QStringLiteral("Intag"), QStringLiteral("8513"));
        Record second =
            keyed(QStringLiteral("22222222"), QStringLiteral("2007"), QStringLiteral("1"));
        second.insert(QStringLiteral("Intag"), QStringLiteral("851"));
        insertRecord(first);
        insertRecord(second);
        open();
        QCOMPARE(form_->Edit_intagnev->text(), QStringLiteral("Fogorvosi ellátás"));
        form_->DBGrid_AdatlapInt->setCurrentIndex(form_->DBGrid_AdatlapInt->model()->index(1, 0));
        QCOMPARE(form_->Edit_intagnev->text(), QStringLiteral("Humán-egészségügyi ellátás"));
        QCOMPARE(form_->DBEdit_intag->text(), QStringLiteral("851"));
    }

    void settlementLookUpOnLeavingTheCodeBox_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("postalCodesFirst");
        const QString none = QStringLiteral("Nincs ilyen kódú település!");
        QTest::newRow("one character") << "0"
                                       << "" << QStringList();
        QTest::newRow("two characters") << "02" << none << QStringList();
        QTest::newRow("four characters") << "3098" << none << QStringList();
        QTest::newRow("found") << "30988"
                               << "Érd" << QStringList{u"2030"_s};
        QTest::newRow("several postal codes")
            << "05236"
            << "Gyöngyös" << QStringList{u"3200"_s, u"3221"_s, u"3232"_s, u"3233"_s};
        QTest::newRow("unknown") << "99999" << none << QStringList();
        QTest::newRow("apostrophe") << "0'2'5" << none << QStringList();
    }

    void settlementLookUpOnLeavingTheCodeBox() {
        QFETCH(QString, code);
        QFETCH(QString, name);
        open();
        click(form_->Button_felvitel);
        type(form_->DBEdit_telepules, QString());  // read-only: stays as it is
        form_->ADOTable_AdatlapInt.setText(QStringLiteral("Telepules"), QStringLiteral("Régi"));
        type(form_->DBEdit_sz_telepuleskod, code);
        QCOMPARE(form_->DBEdit_telepules->text(), QStringLiteral("Régi"));
        form_->DBEdit_utca->setFocus();
        QCOMPARE(form_->DBEdit_telepules->text(), name);
        QCOMPARE(form_->ADOTable_AdatlapInt.text(QStringLiteral("Telepules")), name);
        QFETCH(QStringList, postalCodesFirst);
        QCOMPARE(postalCodesOfferedFirst(), postalCodesFirst);
        // Cancelled, no row is current and the box offers the codes as before.
        click(form_->Button_megsem);
        QCOMPARE(postalCodesOfferedFirst(), QStringList());
    }

    void sectorLookUpWhileTyping() {
        open();
        click(form_->Button_felvitel);
        form_->DBEdit_intag->setFocus();
        QStringList names;
        for (QChar c : QStringLiteral("8512")) {
            QTest::keyClick(form_->DBEdit_intag, c.toLatin1());
            names.append(form_->Edit_intagnev->text());
        }
        QCOMPARE(names, (QStringList{u""_s, u"Egészségügyi, szociális ellátás"_s,
                                     u"Humán-egészségügyi ellátás"_s, u"Járóbeteg-ellátás"_s}));
        QTest::keyClick(form_->DBEdit_intag, Qt::Key_Backspace);
        QTest::keyClick(form_->DBEdit_intag, '9');
        QCOMPARE(form_->Edit_intagnev->text(), QStringLiteral("Nincs ilyen kódú szakág!"));
        type(form_->DBEdit_intag, QStringLiteral("9'"));
        QCOMPARE(form_->Edit_intagnev->text(), QStringLiteral("Nincs ilyen kódú szakág!"));
    }

    void settlementFromTheListPicker() {
        open();
        click(form_->Button_felvitel);
        bool picked = false;
        QTimer::singleShot(0, this, [&] {
            auto* picker = qobject_cast<TFormLista*>(QApplication::activeModalWidget());
            QVERIFY(picker);
            QCOMPARE(picker->windowTitle(), QStringLiteral("Település"));
            QCOMPARE(picker->width(), 208);
            QListView* list = picker->DBLookupListBox_list;
            list->setFocus();
            QTest::keyClicks(list, QStringLiteral("Érd"));
            QTest::keyClick(list, Qt::Key_Return);
            picked = true;
        });
        click(form_->Button_telepules);
        QVERIFY(picked);
        QCOMPARE(form_->DBEdit_sz_telepuleskod->text(), QStringLiteral("30988"));
        QCOMPARE(form_->DBEdit_telepules->text(), QStringLiteral("Érd"));

        // Closed without a choice: the code stays, its name is looked up again.
        form_->ADOTable_AdatlapInt.setText(QStringLiteral("Telepules"), QString());
        QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
        click(form_->Button_telepules);
        QCOMPARE(form_->DBEdit_sz_telepuleskod->text(), QStringLiteral("30988"));
        QCOMPARE(form_->DBEdit_telepules->text(), QStringLiteral("Érd"));
    }

    void sectorFromTheTreePicker() {
        open();
        click(form_->Button_felvitel);
        bool picked = false;
        QTimer::singleShot(0, this, [&] {
            auto* picker = qobject_cast<TFormFa*>(QApplication::activeModalWidget());
            QVERIFY(picker);
            QCOMPARE(form_->Edit_intagnev->text(), QStringLiteral("Kérem várjon, a fa épül"));
            QCOMPARE(form_->Edit_intagnev->palette().color(QPalette::Text), QColor(Qt::red));
            QVERIFY(form_->Edit_intagnev->isEnabled());
            const auto found = picker->TreeView_cont->findItems(
                QStringLiteral("Fogorvosi ellátás"), Qt::MatchExactly | Qt::MatchRecursive);
            QCOMPARE(found.size(), 1);
            picker->TreeView_cont->setCurrentItem(found.first());
            picker->Button_mehet->click();
            picked = true;
        });
        click(form_->Button_szakag);
        QVERIFY(picked);
        QCOMPARE(form_->DBEdit_intag->text(), QStringLiteral("8513"));
        QCOMPARE(form_->Edit_intagnev->text(), QStringLiteral("Fogorvosi ellátás"));
        QVERIFY(!form_->Edit_intagnev->isEnabled());
        QCOMPARE(form_->Edit_intagnev->palette().color(QPalette::Active, QPalette::Text),
                 QColor(Qt::red));
        QCOMPARE(form_->Edit_intagnev->palette().color(QPalette::Disabled, QPalette::Text),
                 form_->DBEdit_intag->palette().color(QPalette::Disabled, QPalette::Text));

        // Closed without a choice: the code stays and its name is shown again.
        QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
        click(form_->Button_szakag);
        QCOMPARE(form_->DBEdit_intag->text(), QStringLiteral("8513"));
        QCOMPARE(form_->Edit_intagnev->text(), QStringLiteral("Fogorvosi ellátás"));
    }

    void sectorNameShownAgainWhenTheTreeCannotBeBuilt() {
        open();
        click(form_->Button_felvitel);
        type(form_->DBEdit_intag, QStringLiteral("9999"));
        db::execute(QStringLiteral("drop table torzs_AH_AGAZAT"));
        click(form_->Button_szakag);
        const auto shown = messages_->take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().kind, MessageKind::Error);
        QCOMPARE(form_->Edit_intagnev->text(), QStringLiteral("Nincs ilyen kódú szakág!"));
        QVERIFY(!form_->Edit_intagnev->isEnabled());
        verifyEditing();
    }

private:
    void open() {
        form_ = std::make_unique<TFormAszolgInt>();
        form_->show();
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }

    QWidget* control(const QString& column) const {
        for (auto* box : form_->GroupBox_edit->findChildren<db::BoundLineEdit*>())
            if (box->column().compare(column, Qt::CaseInsensitive) == 0)
                return box;
        const QHash<QString, QWidget*> lookups = {
            {QStringLiteral("Adatszolgnegyedev"), form_->DBLookupComboBox_adatszolgnegyedev},
            {QStringLiteral("Sz_megyekod"), form_->DBLookupComboBox_sz_megyekod},
            {QStringLiteral("Irsz"), form_->DBLookupComboBox_irsz},
            {QStringLiteral("Gazdfor"), form_->DBLookupComboBox_gazdfor}};
        return lookups.value(column);
    }

    QString shownValue(const QString& column) const {
        QWidget* box = control(column);
        if (auto* combo = qobject_cast<db::BoundLookupComboBox*>(box))
            return combo->key();
        return qobject_cast<QLineEdit*>(box)->text();
    }

    // Fills the edit panel as the user would, leaving the settlement code box so that its name
    // is looked up.
    void fill(const Record& record) {
        for (auto it = record.begin(); it != record.end(); ++it) {
            QWidget* box = control(it.key());
            QVERIFY2(box, qPrintable(it.key()));
            if (auto* combo = qobject_cast<db::BoundLookupComboBox*>(box))
                chooseKey(combo, it.value());
            else
                type(qobject_cast<QLineEdit*>(box), it.value());
        }
        form_->DBEdit_sz_telepuleskod->setFocus();
        form_->DBEdit_utca->setFocus();
    }

    // The postal codes before the separator; none without one. Every code is offered once.
    QStringList postalCodesOfferedFirst() const {
        const QComboBox* box = form_->DBLookupComboBox_irsz;
        QStringList first;
        for (int item = 0; item < box->count(); ++item) {
            if (box->itemData(item).toString().isEmpty()) {
                [&] { QCOMPARE(box->count(), form_->ADOTable_torzs_irsz.rowCount() + 1); }();
                return first;
            }
            first.append(box->itemData(item).toString());
        }
        return {};
    }

    QStringList gridNames() const {
        QStringList names;
        const auto* grid = form_->DBGrid_AdatlapInt->model();
        for (int row = 0; row < grid->rowCount(); ++row)
            names.append(grid->index(row, 0).data().toString());
        return names;
    }

    void verifyBrowsing() { verifyPanels(false); }
    void verifyEditing() { verifyPanels(true); }

    void verifyPanels(bool editing) {
        QCOMPARE(form_->GroupBox_grid->isEnabled(), !editing);
        QCOMPARE(form_->GroupBox_edit->isEnabled(), editing);
        QCOMPARE(form_->GroupBox_dbmuv->isEnabled(), !editing);
        QCOMPARE(form_->GroupBox_editmuv->isEnabled(), editing);
        QCOMPARE(form_->Button_tarolas->isEnabled(), editing);
        QCOMPARE(form_->Button_megsem->isEnabled(), editing);
        QCOMPARE(form_->Button_felvitel->isEnabled(), !editing);
        QCOMPARE(form_->DBEdit_adosajat->isEnabled(), editing);
        QVERIFY(form_->Button_kilepes->isEnabled());
    }

    std::unique_ptr<ProgramFolder> folder_;
    std::unique_ptr<ScriptedMessages> messages_;
    std::unique_ptr<TFormAszolgInt> form_;
};

QTEST_MAIN(TestUnitAdatlapInt)
#include "test_unit_adatlap_int.moc"
