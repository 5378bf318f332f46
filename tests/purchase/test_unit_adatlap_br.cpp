#include "db/widgets/bound_grid.h"
#include "editor_driver.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QScreen>

using namespace Qt::StringLiterals;
using namespace editordriver;
using platform::Button;
using platform::MessageKind;
using testsupport::ProgramFolder;
using testsupport::ScriptedMessages;
using testsupport::ShownBox;

Q_DECLARE_METATYPE(testsupport::ShownBox)

namespace {

const QString kA = QStringLiteral("12345676");      // items 1, 2 and 5 in 2007/3
const QString kEmpty = QStringLiteral("11111111");  // no items in 2007/3

ShownBox warning(const QString& text) {
    return {MessageKind::Warning, text, {Button::Ok}};
}

void insertItem(const QString& adosajat, int year, int number, const QVariant& month = {},
                const QVariant& kind = {}, const QVariant& group = {}) {
    db::execute(QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, "
                               "Tetelsorszam, Beszerzho, Termekszolg, Vtszszolgkod, Termitj, "
                               "Vtszszolg, Termszolgnev, Tegysegar) "
                               "values (?, ?, '3', ?, ?, ?, ?, 'régi', 'régi', 'tétel', 12.346)"),
                {adosajat, year, number, month, kind, group});
}

QStringList numbers() {
    QStringList list;
    for (const auto& item : storedItems())
        list.append(item.value(QStringLiteral("Tetelsorszam")));
    return list;
}

}  // namespace

class TestUnitAdatlapBR : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary)); }

    void init() {
        folder_ = std::make_unique<ProgramFolder>();
        messages_ = std::make_unique<ScriptedMessages>();
        insertProvider(kA, 2007, QStringLiteral("3"), QStringLiteral("Kórház"));
        insertProvider(kEmpty, 2007, QStringLiteral("3"), QStringLiteral("Üres"));
    }

    void cleanup() {
        form_.reset();
        messages_.reset();
        folder_.reset();
    }

    void windowLayout() {
        open();
        QCOMPARE(form_->windowTitle(),
                 QStringLiteral("Egészségügyi intézmények árinformációi, OSAP 9052/07 "
                                "statisztikai adatjelentés beszerzési adatai"));
        QCOMPARE(form_->size(), QSize(792, 437));
        QCOMPARE(form_->GroupBox_valaszt->title(), QStringLiteral("Válasszon"));
        QCOMPARE(form_->DBLookupComboBox_intezmenyid->count(), 2);
        QCOMPARE(form_->DBLookupComboBox_intezmenyid->currentText(), QString());

        QHash<QWidget*, QString> labels;
        for (auto* label : form_->findChildren<QLabel*>())
            labels.insert(label->buddy(), label->text());
        const QList<std::pair<QWidget*, QString>> expected = {
            {form_->DBLookupComboBox_intezmenyid, u"Adatszolgáltató:"_s},
            {form_->DBEdit_adatszolgev, u"Év:"_s},
            {form_->DBEdit_adatszolgnegyedev, u"Negyedév:"_s},
            {form_->DBLookupComboBox_beszerzho, u"Beszerzés hónapja:"_s},
            {form_->DBEdit_tetelsorszam, u"Tételsorszám:"_s},
            {form_->DBLookupComboBox_termekszolg, u"Termék, vagyszolgáltatás:"_s},
            {form_->DBEdit_Vtszszolgkod, u"Azonosító:"_s},
            {form_->DBEdit_Termitj, u"ITJ:"_s},
            {form_->DBEdit_Vtszszolg, u"Vámtarifa szám:"_s},
            {form_->DBEdit_termszolgnev, u"Termék/szolgáltatás megnevezése: "_s},
            {form_->DBLookupComboBox_mennyisegiegyseg, u"Mennyiségi egység:"_s},
            {form_->DBEdit_vasaroltmennyiseg, u"Vásárolt mennyiség:"_s},
            {form_->DBLookupComboBox_Beszerzesiforras, u"Beszerzésiforrás:"_s},
            {form_->DBLookupComboBox_Felhasznter, u"Felhasználási terület:"_s},
            {form_->DBLookupComboBox_Artipus, u"Ártípus:"_s},
            {form_->DBEdit_tegysegar, u"Termék nettó egységára (Ft):"_s},
            {form_->DBEdit_bazisegysegar, u"Termék bázis egységára (Ft):"_s}};
        for (const auto& [control, text] : expected)
            QCOMPARE(labels.value(control), text);
        QCOMPARE(form_->Label16->x(), 376);
        QCOMPARE(form_->DBEdit_Termitj->width(), 137);
        QCOMPARE(form_->Button_termszolgcsopval->text(),
                 QStringLiteral("Termék csoport választás"));
        QCOMPARE(form_->DBEdit_termszolgnev->maxLength(), 80);
        for (auto* box : {form_->DBEdit_adatszolgev, form_->DBEdit_adatszolgnegyedev,
                          form_->DBEdit_tetelsorszam, form_->DBEdit_Vtszszolgkod,
                          form_->DBEdit_Termitj, form_->DBEdit_Vtszszolg})
            QVERIFY(box->isReadOnly());
        QVERIFY(form_->Edit_termszolgcsopnev->isReadOnly());

        QStringList captions;
        for (auto* panel : {form_->GroupBox_dbmuv, form_->GroupBox_editmuv, form_->GroupBox_kilep})
            for (auto* button : panel->findChildren<QPushButton*>()) {
                QVERIFY(button->font().bold());
                captions.append(button->text());
            }
        QCOMPARE(captions, (QStringList{u"Új sor felvitele"_s, u"Mósodítás"_s, u"Töröl"_s,
                                        u"Tárolás"_s, u"Mégsem"_s, u"Kilépés"_s}));
        QCOMPARE(form_->Button_kilepes->focusPolicy(), Qt::ClickFocus);

        auto* grid = form_->DBGrid_adatlapBR;
        QStringList titles;
        for (int i = 0; i < grid->model()->columnCount(); ++i)
            titles.append(grid->model()->headerData(i, Qt::Horizontal).toString());
        QCOMPARE(titles,
                 (QStringList{u"Adosajat"_s, u"Beszerzev"_s, u"Beszerznegyedev"_s, u"Beszerzho"_s,
                              u"Tetelsorszam"_s, u"Termekszolg"_s, u"Vtszszolgkod"_s, u"Termitj"_s,
                              u"Vtszszolg"_s, u"Termszolgnev"_s, u"Mennyisegiegyseg"_s,
                              u"Vasaroltmenny"_s, u"Beszerzforras"_s, u"Felhasznter"_s,
                              u"Artipus"_s, u"Tegysegar"_s, u"Bazisegysegar"_s}));
        QCOMPARE(grid->toolTip(), QStringLiteral("Lista ablak"));
        QCOMPARE(grid->model()->rowCount(), 0);

        // No provider chosen: the choice, the empty grid and Kilépés.
        for (QWidget* usable : QList<QWidget*>{form_->GroupBox_valaszt, form_->GroupBox_grid,
                                               form_->GroupBox_editmuv, form_->Button_kilepes})
            QVERIFY(usable->isEnabled());
        for (QWidget* greyed :
             QList<QWidget*>{form_->GroupBox_edit, form_->GroupBox_dbmuv, form_->Button_felvitel,
                             form_->Button_tarolas, form_->Button_megsem})
            QVERIFY(!greyed->isEnabled());
    }

    // Items are numbered within their report key, whatever the grid shows; the month of the
    // item stored last is the next one's until another provider is chosen.
    void numberingAndDefaultMonth() {
        for (int number : {1, 2, 5})
            insertItem(kA, 2007, number);
        insertItem(kA, 2006, 9);      // another period
        insertItem(kEmpty, 2006, 7);  // another provider's period
        open();
        chooseProvider(*form_, kEmpty);
        QCOMPARE(form_->DBEdit_adatszolgev->text(), QStringLiteral("2007"));
        QCOMPARE(form_->DBEdit_adatszolgnegyedev->text(), QStringLiteral("3"));
        verifyBrowsing();
        QCOMPARE(rows(), 0);
        click(form_->Button_modositas);
        click(form_->Button_torles);
        QCOMPARE(messages_->take(),
                 (QList<ShownBox>{warning(u"Nincs rekord, így nem módosíthat!!"_s),
                                  warning(u"Nincs rekord, így nem törölhet!!"_s)}));
        click(form_->Button_felvitel);
        verifyEditing();
        QCOMPARE(form_->DBEdit_tetelsorszam->text(), QStringLiteral("1"));
        QCOMPARE(form_->DBLookupComboBox_beszerzho->currentText(), QString());
        QVERIFY(!form_->Button_termszolgcsopval->isVisible());
        QVERIFY(!form_->DBEdit_termszolgnev->isVisible());
        QVERIFY(form_->DBLookupComboBox_termekszolg->isVisible());
        QStringList months;
        for (int i = 0; i < form_->DBLookupComboBox_beszerzho->count(); ++i)
            months.append(form_->DBLookupComboBox_beszerzho->itemText(i));
        QCOMPARE(months, (QStringList{u"július"_s, u"augusztus"_s, u"szeptember"_s}));
        click(form_->Button_megsem);

        chooseProvider(*form_, kA);
        QCOMPARE(rows(), 3);
        addItem(with(productItem(), QStringLiteral("Beszerzho"), QStringLiteral("09")));
        QCOMPARE(form_->LastMonth, QStringLiteral("09"));
        QCOMPARE(numbers(), (QStringList{u"1"_s, u"2"_s, u"5"_s, u"9"_s, u"7"_s, u"6"_s}));
        const auto stored = storedItems().last();
        QCOMPARE(stored.value(u"Adosajat"_s), kA);
        QCOMPARE(stored.value(u"Beszerzev"_s), QStringLiteral("2007"));
        QCOMPARE(stored.value(u"Beszerznegyedev"_s), QStringLiteral("3"));

        deleteRow(3, Button::Ok);  // item 6
        click(form_->Button_felvitel);
        QCOMPARE(form_->DBEdit_tetelsorszam->text(), QStringLiteral("6"));
        QCOMPARE(form_->DBLookupComboBox_beszerzho->currentText(), QStringLiteral("szeptember"));
        click(form_->Button_megsem);

        deleteRow(1, Button::Ok);  // item 2: the gap stays
        QCOMPARE(numbers(), (QStringList{u"1"_s, u"5"_s, u"9"_s, u"7"_s}));
        chooseProvider(*form_, kA);
        QCOMPARE(form_->LastMonth, QString());
        click(form_->Button_felvitel);
        QCOMPARE(form_->DBEdit_tetelsorszam->text(), QStringLiteral("6"));
        QCOMPARE(form_->DBLookupComboBox_beszerzho->currentText(), QString());
    }

    // Apostrophes, 80 characters with ő and ű, the largest 9-character numbers; the prices
    // shown with two decimals; modifying without typing keeps every stored value.
    void storedItemsComeBackUnchanged() {
        const QString name = QStringLiteral("Ő'ű ") + QString(76, u'ű');
        open();
        chooseProvider(*form_, kA);
        Item item = with(productItem(), QStringLiteral("Termszolgnev"), name);
        item = with(item, QStringLiteral("Vasaroltmenny"), QStringLiteral("999999999"));
        item = with(item, QStringLiteral("Tegysegar"), QStringLiteral("999999999"));
        item = with(item, QStringLiteral("Bazisegysegar"), QStringLiteral("12,346"));
        addItem(item);
        QCOMPARE(form_->DBEdit_tegysegar->text(), QStringLiteral("999999999,00"));
        QCOMPARE(form_->DBEdit_bazisegysegar->text(), QStringLiteral("12,35"));
        const auto before = storedItems();
        QCOMPARE(before.size(), 1);
        QCOMPARE(before.first().value(u"Termszolgnev"_s), name);
        QCOMPARE(before.first().value(u"Vasaroltmenny"_s), QStringLiteral("999999999"));
        QCOMPARE(before.first().value(u"Tegysegar"_s), QStringLiteral("999999999"));
        QCOMPARE(before.first().value(u"Bazisegysegar"_s), QStringLiteral("12,346"));

        form_.reset();
        open();
        chooseProvider(*form_, kA);
        QCOMPARE(form_->DBEdit_termszolgnev->text(), name);
        const auto* grid = form_->DBGrid_adatlapBR->model();
        QCOMPARE(grid->index(0, 15).data().toString(), QStringLiteral("999999999,00"));
        QCOMPARE(grid->index(0, 16).data().toString(), QStringLiteral("12,35"));
        click(form_->Button_modositas);
        // A point typed in a price that cannot group thousands is the decimal comma.
        type(form_->DBEdit_tegysegar, QStringLiteral("38.50"));
        QCOMPARE(form_->Edit_termszolgcsopnev->text(),
                 QStringLiteral("Gyógyszer, adagolt formában (tabletta, kapszula)"));
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(), QList<ShownBox>());
        QCOMPARE(form_->DBEdit_tegysegar->text(), QStringLiteral("38,50"));
        auto after = before;
        after.first().insert(QStringLiteral("Tegysegar"), QStringLiteral("38,5"));
        QCOMPARE(storedItems(), after);
    }

    void firstFailingCheckStoresNothing_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("value");
        auto row = [](const char* column, const char* label) {
            QTest::newRow(column) << QString::fromLatin1(column)
                                  << QStringLiteral("A '%1' nevű mező nincs kitöltve!!!")
                                         .arg(QString::fromUtf8(label))
                                  << QString();
        };
        row("Beszerzho", "Beszerzés hónapja");
        row("Termekszolg", "Termék vagy szolgáltatás");
        row("Termszolgnev", "Termék/szolgáltatás neve");
        row("Mennyisegiegyseg", "Mennyiségi egység");
        row("Vasaroltmenny", "Vásárolt mennyiség");
        row("Beszerzforras", "Beszerzési forrás");
        row("Felhasznter", "Felhasználási terület");
        row("Artipus", "Ártípus");
        row("Tegysegar", "Termék egységár");
        row("Bazisegysegar", "Termék bázisegységár");
        QTest::newRow("NUL in the name")
            << "Termszolgnev"
            << "A 'Termék/szolgáltatás neve' nevű mező nem tartalmazhat vezérlőkaraktert!!!"
            << QStringLiteral("Abc%1def").arg(QChar(0));
        QTest::newRow("arrow in the name") << "Termszolgnev"
                                           << "A 'Termék/szolgáltatás neve' nevű mező nem "
                                              "tartalmazhat \"→\" karaktert: az adatállomány "
                                              "kódlapjában nincs ilyen!!!"
                                           << "Fecskendő → 5 ml";
        QTest::newRow("point before three digits")
            << "Tegysegar"
            << "A 'Termék egységár' nevű mezőben megadott \"1.250\" nem egyértelmű: a pont "
               "ezreseket is tagolhat. Tizedesjelnek vesszőt írjon (1,25), az ezreseket ne "
               "tagolja, vagy szóközzel (1 250)!!!"
            << "1.250";
        QTest::newRow("price too wide for its field")
            << "Tegysegar"
            << "A(z) \"1000000000\" érték nem fér el az adatállomány 9 karakteres mezőjében!"
            << "1e9";
        QTest::newRow("quantity no number") << "Vasaroltmenny"
                                            << "A 'Vásárolt mennyiség' nevű mezőben megadott "
                                               "\"--5\" nem egész szám!!!"
                                            << "--5";
    }

    void firstFailingCheckStoresNothing() {
        QFETCH(QString, column);
        QFETCH(QString, message);
        QFETCH(QString, value);
        open();
        chooseProvider(*form_, kA);
        click(form_->Button_felvitel);
        // Without a kind the section stays hidden and empty.
        Item item = productItem();
        if (column == u"Termekszolg")
            item.erase(item.begin() + 1, item.begin() + 4);
        fill(*form_, with(item, column, value));
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(), QList<ShownBox>{warning(message)});
        verifyEditing();
        QCOMPARE(form_->ADOTable_AdatlapBR.mode(), db::Table::Mode::Insert);
        QCOMPARE(form_->DBEdit_bazisegysegar->text(),
                 column == u"Bazisegysegar" ? QString() : QStringLiteral("0,5"));
        QCOMPARE(storedItems().size(), 0);
    }

    // Typing keeps only what can belong to a number.
    void typingKeepsNumberCharacters() {
        open();
        chooseProvider(*form_, kA);
        click(form_->Button_felvitel);
        type(form_->DBEdit_vasaroltmennyiseg, QStringLiteral("1a2,e+ 3"));
        QCOMPARE(form_->DBEdit_vasaroltmennyiseg->text(), QStringLiteral("12+ 3"));
        type(form_->DBEdit_tegysegar, QStringLiteral("1.5a,E-1234567"));
        QCOMPARE(form_->DBEdit_tegysegar->text(), QStringLiteral("1.5,E-123"));
    }

    void cancelling() {
        insertItem(kA, 2007, 1);
        open();
        chooseProvider(*form_, kA);
        click(form_->Button_felvitel);
        chooseKey(form_->DBLookupComboBox_termekszolg, QStringLiteral("1"));
        type(form_->DBEdit_termszolgnev, QStringLiteral("félbehagyott"));
        QCOMPARE(rows(), 2);
        click(form_->Button_megsem);
        verifyBrowsing();
        QCOMPARE(rows(), 1);
        QVERIFY(form_->DBEdit_termszolgnev->isVisible());
        QCOMPARE(form_->DBEdit_termszolgnev->text(), QStringLiteral("tétel"));

        click(form_->Button_modositas);
        type(form_->DBEdit_termszolgnev, QStringLiteral("más"));
        type(form_->DBEdit_tegysegar, QStringLiteral("1"));
        click(form_->Button_megsem);
        verifyBrowsing();
        QCOMPARE(form_->DBEdit_termszolgnev->text(), QStringLiteral("tétel"));
        QCOMPARE(form_->DBEdit_tegysegar->text(), QStringLiteral("12,35"));
        QCOMPARE(storedItems().first().value(u"Termszolgnev"_s), QStringLiteral("tétel"));
    }

    void deleting_data() {
        QTest::addColumn<Button>("answer");
        QTest::addColumn<bool>("removed");
        QTest::newRow("OK deletes") << Button::Ok << true;
        QTest::newRow("No keeps") << Button::No << false;
        QTest::newRow("title bar keeps") << Button::None << false;
    }

    void deleting() {
        QFETCH(Button, answer);
        QFETCH(bool, removed);
        insertItem(kA, 2007, 1);
        insertItem(kA, 2007, 2);
        open();
        chooseProvider(*form_, kA);
        deleteRow(1, answer);
        QCOMPARE(numbers(), removed ? QStringList{u"1"_s} : (QStringList{u"1"_s, u"2"_s}));
        QCOMPARE(rows(), removed ? 1 : 2);
        verifyBrowsing();
        QCOMPARE(form_->focusWidget(), form_->DBGrid_adatlapBR);
    }

    void exitAsksAboutTheUnstoredItem_data() {
        QTest::addColumn<bool>("adding");
        QTest::addColumn<QString>("way");
        QTest::addColumn<Button>("answer");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("closed");
        QTest::newRow("Kilépés while adding, Igen")
            << true << "Kilépés" << Button::Yes << true << true;
        QTest::newRow("close box while adding, Nem")
            << true << "close" << Button::No << false << true;
        QTest::newRow("Esc while adding, Mégse")
            << true << "Esc" << Button::Cancel << false << false;
        QTest::newRow("Igen with a check refusing")
            << true << "Kilépés" << Button::Yes << false << false;
        QTest::newRow("close box while modifying, Igen")
            << false << "close" << Button::Yes << true << true;
        QTest::newRow("Kilépés while modifying, title bar")
            << false << "Kilépés" << Button::None << false << false;
        QTest::newRow("Kilépés after modifying nothing")
            << false << "Kilépés" << Button::None << false << true;
    }

    void exitAsksAboutTheUnstoredItem() {
        QFETCH(bool, adding);
        QFETCH(QString, way);
        QFETCH(Button, answer);
        QFETCH(bool, stored);
        QFETCH(bool, closed);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        open();
        chooseProvider(*form_, kA);
        addItem(productItem());
        const auto before = storedItems();
        click(adding ? form_->Button_felvitel : form_->Button_modositas);
        const bool refused = tag.contains(u"refusing");
        const Item changed = with(productItem(), QStringLiteral("Termszolgnev"), u"Kapszula"_s);
        if (!tag.contains(u"nothing"))
            fill(*form_, with(changed, QStringLiteral("Artipus"),
                              refused ? QString() : QStringLiteral("1")));
        const bool asked = answer != Button::None || tag.contains(u"title bar");
        if (asked)
            messages_->answer(answer);
        if (way == u"close")
            form_->close();
        else if (way == u"Esc")
            QTest::keyClick(form_.get(), Qt::Key_Escape);
        else
            click(form_->Button_kilepes);
        QList<ShownBox> expected;
        if (asked)
            expected.append({MessageKind::Confirmation,
                             QStringLiteral("A szerkesztett sor még nincs tárolva. Tárolja "
                                            "kilépés előtt?"),
                             {Button::Yes, Button::No, Button::Cancel}});
        if (refused)
            expected.append(warning(QStringLiteral("A 'Ártípus' nevű mező nincs kitöltve!!!")));
        QCOMPARE(messages_->take(), expected);
        QCOMPARE(form_->isVisible(), !closed);
        if (!closed)
            verifyEditing();
        form_.reset();
        const auto after = storedItems();
        QCOMPARE(after == before, !stored);
        if (stored)
            QCOMPARE(after.last().value(u"Termszolgnev"_s), QStringLiteral("Kapszula"));
    }

    // The kind decides the section's captions, sizes and group table; choosing a kind empties
    // the section, picking a group copies its codes.
    void productAndServiceItems() {
        open();
        chooseProvider(*form_, kA);
        click(form_->Button_felvitel);
        fill(*form_, productItem().mid(0, 4));
        verifySection("Termék csoport választás", "Vámtarifa szám: ", 376, 137,
                      "Termék megnevezése: ");
        QVERIFY(form_->DBEdit_Termitj->isEnabled());
        verifyGroup("1010", "Gyógyszer, adagolt formában (tabletta, kapszula)", "24421300",
                    "30049019");
        QCOMPARE(form_->GroupTable, QStringLiteral("Torzs_TermekCsoport"));
        QCOMPARE(form_->GroupPickerCaption, QStringLiteral("Termékcsoportok"));
        fill(*form_, productItem().mid(4));
        saveScreenshot(QStringLiteral("purchase-editor-product.png"));

        chooseKey(form_->DBLookupComboBox_termekszolg, QStringLiteral("2"));
        verifySection("Szolgáltatás csoport választás", "Szolgáltatási jegyzék szám: ", 316, 77,
                      "Szolgáltatás megnevezése: ");
        QVERIFY(!form_->DBEdit_Termitj->isEnabled());
        verifyGroup("", "", "", "");
        QCOMPARE(form_->DBEdit_termszolgnev->text(), QString());
        QCOMPARE(form_->ADOTable_AdatlapBR.text(QStringLiteral("Termszolgnev")), QString());
        QCOMPARE(pickGroup(*form_, QStringLiteral("2010")),
                 QStringLiteral("Szolgáltatás csoportok"));
        verifyGroup("2010", "Takarítás", "74701100", "74.70.11");
        pickGroup(*form_, QStringLiteral("-"));  // "Mehet" with no line: none of the group's codes
        verifyGroup("", "", "", "");
        pickGroup(*form_, QStringLiteral("2010"));
        type(form_->DBEdit_termszolgnev, QStringLiteral("Takarítás, 'A' épület"));
        saveScreenshot(QStringLiteral("purchase-editor-service.png"));
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(), QList<ShownBox>());
        const auto stored = storedItems().first();
        QCOMPARE(stored.value(u"Termekszolg"_s), QStringLiteral("2"));
        QCOMPARE(stored.value(u"Termitj"_s), QStringLiteral("74701100"));
        QCOMPARE(stored.value(u"Vtszszolg"_s), QStringLiteral("74.70.11"));
    }

    // Mósodítás shows the stored item's group as the group table has it now.
    void modifyingLooksTheGroupUpAgain() {
        insertItem(kA, 2007, 1, QStringLiteral("07"), QStringLiteral("2"));  // no group
        insertItem(kA, 2007, 2, QStringLiteral("07"), QStringLiteral("1"), QStringLiteral("1010"));
        insertItem(kA, 2007, 3, QStringLiteral("07"), QStringLiteral("1"), QStringLiteral("99"));
        open();
        chooseProvider(*form_, kA);
        const QPalette normal = form_->Edit_termszolgcsopnev->palette();

        click(form_->Button_modositas);  // an empty code opens quietly
        QCOMPARE(messages_->take(), QList<ShownBox>());
        verifySection("Szolgáltatás csoport választás", "Szolgáltatási jegyzék szám: ", 316, 77,
                      "Szolgáltatás megnevezése: ");
        QCOMPARE(form_->Edit_termszolgcsopnev->text(), QString());
        QCOMPARE(form_->DBEdit_termszolgnev->text(), QStringLiteral("tétel"));
        click(form_->Button_megsem);

        selectRow(1);
        click(form_->Button_modositas);
        verifySection("Termék csoport választás", "Vámtarifa szám: ", 376, 137,
                      "Termék megnevezése: ");
        verifyGroup("1010", "Gyógyszer, adagolt formában (tabletta, kapszula)", "24421300",
                    "30049019");
        // Closed without a choice: the same group is looked up again.
        QCOMPARE(pickGroup(*form_, QString()), QStringLiteral("Termékcsoportok"));
        verifyGroup("1010", "Gyógyszer, adagolt formában (tabletta, kapszula)", "24421300",
                    "30049019");
        fill(*form_, productItem().mid(4));
        click(form_->Button_tarolas);
        QCOMPARE(storedItems().at(1).value(u"Vtszszolg"_s), QStringLiteral("30049019"));

        selectRow(2);
        click(form_->Button_modositas);
        QCOMPARE(form_->Edit_termszolgcsopnev->text(), QStringLiteral("Nincs ilyen kódú csoport!"));
        QCOMPARE(form_->Edit_termszolgcsopnev->palette().color(QPalette::Base), QColor(Qt::red));
        fill(*form_, productItem().mid(4));
        click(form_->Button_tarolas);
        QCOMPARE(messages_->take(), (QList<ShownBox>{{MessageKind::Plain,
                                                      QStringLiteral("Nincs ilyen kódú csoport!"),
                                                      {Button::Ok}}}));
        verifyEditing();
        QCOMPARE(storedItems().at(2).value(u"Termitj"_s), QStringLiteral("régi"));
        // The red stays while the section is emptied, until a group is found.
        chooseKey(form_->DBLookupComboBox_termekszolg, QStringLiteral("1"));
        QCOMPARE(form_->Edit_termszolgcsopnev->text(), QString());
        QCOMPARE(form_->Edit_termszolgcsopnev->palette().color(QPalette::Base), QColor(Qt::red));
        pickGroup(*form_, QStringLiteral("1020"));
        QCOMPARE(form_->Edit_termszolgcsopnev->text(), QStringLiteral("Injekció, infúzió"));
        QCOMPARE(form_->Edit_termszolgcsopnev->palette().color(QPalette::Active, QPalette::Base),
                 normal.color(QPalette::Active, QPalette::Base));
    }

    // After a cancel the section follows the current row: a service row, then a product row
    // whose group is not found.
    void browsedRowShowsItsOwnGroup() {
        for (const char* group : {"1030", "2130", "99"})
            insertItem(kA, 2007, 1, QStringLiteral("07"), group[0] == '2' ? u"2"_s : u"1"_s,
                       QString::fromLatin1(group));
        open();
        chooseProvider(*form_, kA);
        click(form_->Button_felvitel);
        fill(*form_, with(productItem(), u"Vtszszolgkod"_s, u"1400"_s));
        click(form_->Button_megsem);
        const QLineEdit* name = form_->Edit_termszolgcsopnev;
        selectRow(1);
        verifySection("Szolgáltatás csoport választás", "Szolgáltatási jegyzék szám: ", 316, 77,
                      "Szolgáltatás megnevezése: ");
        QCOMPARE(name->text(), QStringLiteral("Laboratóriumi vizsgálat (külső)"));
        QVERIFY(name->palette().color(QPalette::Base) != Qt::red);
        selectRow(2);
        verifySection("Termék csoport választás", "Vámtarifa szám: ", 376, 137,
                      "Termék megnevezése: ");
        QCOMPARE(name->text(), QStringLiteral("Nincs ilyen kódú csoport!"));
        QCOMPARE(name->palette().color(QPalette::Base), QColor(Qt::red));
    }

    void databaseErrorsLeaveTheWindowUsable() {
        insertItem(kA, 2007, 1, QStringLiteral("07"), QStringLiteral("1"), QStringLiteral("1010"));
        open();
        chooseProvider(*form_, kA);
        const auto before = storedItems();
        db::execute(
            QStringLiteral("create trigger refuse before insert on AdatlapBR "
                           "begin select raise(abort, 'A tábla zárolva van'); end"));
        addItem(productItem(), false);
        verifyError("A tábla zárolva van");
        verifyEditing();
        QCOMPARE(form_->ADOTable_AdatlapBR.mode(), db::Table::Mode::Insert);
        click(form_->Button_megsem);

        // The look-up stops: the group name box keeps what it showed.
        db::execute(QStringLiteral("alter table Torzs_TermekCsoport rename to Regi"));
        const QString shownGroup = form_->Edit_termszolgcsopnev->text();
        click(form_->Button_modositas);
        verifyError("no such table");
        QCOMPARE(form_->Edit_termszolgcsopnev->text(), shownGroup);
        QCOMPARE(form_->DBEdit_Termitj->text(), QStringLiteral("régi"));
        click(form_->Button_megsem);
        verifyError("no such table");  // the row shown again looks its group up
        db::execute(QStringLiteral("alter table Regi rename to Torzs_TermekCsoport"));

        db::execute(QStringLiteral("alter table AdatlapBR rename column Tetelsorszam to Sorszam"));
        click(form_->Button_felvitel);
        verifyError("no such column");
        verifyEditing();
        click(form_->Button_megsem);
        QCOMPARE(rows(), 1);
        QCOMPARE(storedItems().size(), before.size());
    }

private:
    void open() {
        form_ = std::make_unique<TFormAdatlapBR>();
        form_->show();
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    int rows() const { return form_->DBGrid_adatlapBR->model()->rowCount(); }

    void selectRow(int row) {
        auto* grid = form_->DBGrid_adatlapBR;
        grid->setCurrentIndex(grid->model()->index(row, 0));
    }

    void addItem(const Item& item, bool stored = true) {
        click(form_->Button_felvitel);
        fill(*form_, item);
        click(form_->Button_tarolas);
        if (stored)
            QCOMPARE(messages_->take(), QList<ShownBox>());
    }

    void deleteRow(int row, Button answer) {
        selectRow(row);
        messages_->answer(answer);
        click(form_->Button_torles);
        QCOMPARE(messages_->take(), (QList<ShownBox>{{MessageKind::Confirmation,
                                                      QStringLiteral("Biztosan törölni akarja?"),
                                                      {Button::No, Button::Ok}}}));
    }

    // The boxes shown end with an error box carrying the engine's text.
    void verifyError(const char* part, int boxes = 1) {
        const auto shown = messages_->take();
        QCOMPARE(shown.size(), boxes);
        QCOMPARE(shown.last().kind, MessageKind::Error);
        QVERIFY2(shown.last().text.contains(QString::fromUtf8(part)),
                 qPrintable(shown.last().text));
    }

    void verifySection(const char* button, const char* numberLabel, int numberLeft, int itjWidth,
                       const char* nameLabel) {
        QVERIFY(form_->Button_termszolgcsopval->isVisible());
        QCOMPARE(form_->Button_termszolgcsopval->text(), QString::fromUtf8(button));
        QCOMPARE(form_->Label16->text(), QString::fromUtf8(numberLabel));
        QCOMPARE(form_->Label16->x(), numberLeft);
        QCOMPARE(form_->DBEdit_Termitj->width(), itjWidth);
        QCOMPARE(form_->Label7->text(), QString::fromUtf8(nameLabel));
    }

    void verifyGroup(const char* code, const char* name, const char* itj, const char* number) {
        QCOMPARE(form_->DBEdit_Vtszszolgkod->text(), QString::fromUtf8(code));
        QCOMPARE(form_->Edit_termszolgcsopnev->text(), QString::fromUtf8(name));
        QCOMPARE(form_->DBEdit_Termitj->text(), QString::fromUtf8(itj));
        QCOMPARE(form_->DBEdit_Vtszszolg->text(), QString::fromUtf8(number));
    }

    // Under a scaling factor the whole screen, named with the factor: the window shows on it.
    void saveScreenshot(const QString& name) {
        const QString folder = qEnvironmentVariable("VK_SCREENSHOT_DIR");
        const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR");
        if (folder.isEmpty())
            return;
        if (scale.isEmpty())
            QVERIFY(form_->grab().save(folder + u'/' + name));
        else
            QVERIFY(form_->screen()->grabWindow(0).save(
                folder + u'/' + QFileInfo(name).completeBaseName() + QStringLiteral("-scale-") +
                scale + QStringLiteral(".png")));
    }

    void verifyBrowsing() { verifyPanels(false); }
    void verifyEditing() { verifyPanels(true); }

    void verifyPanels(bool editing) {
        QCOMPARE(form_->GroupBox_grid->isEnabled(), !editing);
        QCOMPARE(form_->GroupBox_edit->isEnabled(), editing);
        QCOMPARE(form_->GroupBox_valaszt->isEnabled(), !editing);
        QCOMPARE(form_->Button_felvitel->isEnabled(), !editing);
        QCOMPARE(form_->Button_modositas->isEnabled(), !editing);
        QCOMPARE(form_->Button_torles->isEnabled(), !editing);
        QCOMPARE(form_->Button_tarolas->isEnabled(), editing);
        QCOMPARE(form_->Button_megsem->isEnabled(), editing);
        QVERIFY(form_->Button_kilepes->isEnabled());
    }

    std::unique_ptr<ProgramFolder> folder_;
    std::unique_ptr<ScriptedMessages> messages_;
    std::unique_ptr<TFormAdatlapBR> form_;
};

QTEST_MAIN(TestUnitAdatlapBR)
#include "test_unit_adatlap_br.moc"
