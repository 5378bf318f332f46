// Carrying a data-provider record with its purchase items into the next quarter: through
// "velkor --carry-forward" and through its window from the main menu.

#include "app/UnitFo.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/values.h"
#include "institution/institution_records.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"
#include "toolsmenu/widgets/UnitAtvetel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using platform::MessageKind;
using testsupport::ProgramFolder;
using testsupport::rowsOf;
using testsupport::ScriptedMessages;
using testsupport::ShownBox;

namespace {

const QString kItemRow = QStringLiteral(
    "select beszerzho, tetelsorszam, termekszolg, vtszszolgkod, termitj, vtszszolg, termszolgnev, "
    "mennyisegiegyseg, vasaroltmenny, beszerzforras, felhasznter, artipus, tegysegar, "
    "bazisegysegar from AdatlapBR where adosajat = ? and beszerzev = ? and beszerznegyedev = ? "
    "order by tetelsorszam");

QStringList everything() {
    return rowsOf(QStringLiteral("select * from AdatlapInt order by 1, 18, 19")) +
           rowsOf(QStringLiteral("select * from AdatlapBR order by 1, 2, 3, 5"));
}

void insertRecord(const QString& adosajat, int year, const QString& quarter) {
    db::execute(
        QStringLiteral("insert into AdatlapInt (Adosajat, Intnev, Sz_telepuleskod, Toltmail, "
                       "Adatszolgev, Adatszolgnegyedev) values (?, ?, '13578', 'nincs', "
                       "?, ?)"),
        {adosajat, QStringLiteral("Szent 'Imre' Kórház"), year, quarter});
}

void insertItem(const QString& adosajat, int year, const QString& quarter, const QString& month,
                int number, double price) {
    db::execute(QStringLiteral("insert into AdatlapBR values (?, ?, ?, ?, ?, '1', '17', "
                               "'33.10.15', '9018', 'Fecskendő ''5 ml''', '01', 120, '1', '02', "
                               "'1', ?, ?)"),
                {adosajat, year, quarter, month, number, price, price * 2});
}

// 12345676 has a second quarter with items in all three months (numbers with a gap) and a
// fourth quarter; 11111111 has its next quarter already; 22222222's next quarter holds items
// without a record; 33333333 has an item whose month is not of its quarter.
void insertFixture() {
    const QString a = QStringLiteral("12345676");
    insertRecord(a, 2007, QStringLiteral("2"));
    insertItem(a, 2007, QStringLiteral("2"), QStringLiteral("04"), 1, 10.25);
    insertItem(a, 2007, QStringLiteral("2"), QStringLiteral("06"), 2, 20);
    insertItem(a, 2007, QStringLiteral("2"), QStringLiteral("05"), 5, 30);
    insertRecord(a, 2007, QStringLiteral("4"));
    insertItem(a, 2007, QStringLiteral("4"), QStringLiteral("11"), 1, 40);
    insertRecord(QStringLiteral("11111111"), 2007, QStringLiteral("1"));
    insertRecord(QStringLiteral("11111111"), 2007, QStringLiteral("2"));
    insertRecord(QStringLiteral("22222222"), 2007, QStringLiteral("1"));
    insertItem(QStringLiteral("22222222"), 2007, QStringLiteral("2"), QStringLiteral("04"), 1, 1);
    insertRecord(QStringLiteral("33333333"), 2007, QStringLiteral("1"));
    insertItem(QStringLiteral("33333333"), 2007, QStringLiteral("1"), QStringLiteral("01"), 1, 1);
    insertItem(QStringLiteral("33333333"), 2007, QStringLiteral("1"), QStringLiteral("05"), 2, 1);
}

QString item(const QString& month, int number, double price) {
    return QStringLiteral("%1|%2|1|17|33.10.15|9018|Fecskendő '5 ml'|01|120|1|02|1|%3|%4")
        .arg(month)
        .arg(number)
        .arg(db::textOf(price), db::textOf(price * 2));
}

}  // namespace

class TestCarryForward : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // newItems: the items under the new key afterwards; none when the carry is refused, and
    // then nothing changes at all.
    void carryThroughTheCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("newKey");
        QTest::addColumn<QStringList>("newItems");
        QTest::newRow("quarter 2 into 3")
            << QStringList{u"12345676"_qs, u"2007"_qs, u"2"_qs} << 0 << "12345676 2007/3: 3 tétel\n"
            << QStringList{u"12345676"_qs, u"2007"_qs, u"3"_qs}
            << QStringList{item(u"07"_qs, 1, 10.25), item(u"09"_qs, 2, 20), item(u"08"_qs, 5, 30)};
        QTest::newRow("quarter 4 into the next year's 1")
            << QStringList{u"12345676"_qs, u"2007"_qs, u"4"_qs} << 0 << "12345676 2008/1: 1 tétel\n"
            << QStringList{u"12345676"_qs, u"2008"_qs, u"1"_qs}
            << QStringList{item(u"02"_qs, 1, 40)};
        QTest::newRow("record without items")
            << QStringList{u"11111111"_qs, u"2007"_qs, u"2"_qs} << 0 << "11111111 2007/3: 0 tétel\n"
            << QStringList{u"11111111"_qs, u"2007"_qs, u"3"_qs} << QStringList();
        QTest::newRow("next key taken")
            << QStringList{u"11111111"_qs, u"2007"_qs, u"1"_qs} << 1
            << institution::kDuplicateKey + u'\n' << QStringList() << QStringList();
        QTest::newRow("items under the next key")
            << QStringList{u"22222222"_qs, u"2007"_qs, u"1"_qs} << 1
            << institution::kDuplicateKey + u'\n' << QStringList() << QStringList();
        QTest::newRow("month outside the quarter, after the record was copied")
            << QStringList{u"33333333"_qs, u"2007"_qs, u"1"_qs} << 1
            << "Van olyan beszerzési tétel, amelynek hónapja nem a negyedév hónapja; javítsa a "
               "Beszerzés ablakban, és próbálja újra!\n"
            << QStringList() << QStringList();
        QTest::newRow("no such record") << QStringList{u"99999999"_qs, u"2007"_qs, u"1"_qs} << 1
                                        << "Nincs ilyen adatlap: 99999999 2007/1\n"
                                        << QStringList() << QStringList();
        QTest::newRow("year not a number") << QStringList{u"12345676"_qs, u"20x7"_qs, u"2"_qs} << 1
                                           << "" << QStringList() << QStringList();
        QTest::newRow("key incomplete") << QStringList{u"12345676"_qs, u"2007"_qs} << 1
                                        << "Használat: velkor --carry-forward ADÓSZÁM ÉV NEGYEDÉV\n"
                                        << QStringList() << QStringList();
    }

    void carryThroughTheCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QStringList, newKey);
        QFETCH(QStringList, newItems);
        ProgramFolder folder(false);
        const QString program = folder.copyProgram();
        db::openConnection(folder.databasePath());
        insertFixture();
        const QStringList before = everything();
        db::closeConnection();

        QProcess velkor;
        velkor.start(program, QStringList{QStringLiteral("--carry-forward")} + arguments);
        QVERIFY(velkor.waitForFinished(30000));
        QCOMPARE(velkor.exitCode(), exitCode);
        const QString printed = QString::fromUtf8(exitCode == 0 ? velkor.readAllStandardOutput()
                                                                : velkor.readAllStandardError());
        if (output.isEmpty())
            QVERIFY(!printed.isEmpty());
        else
            QCOMPARE(printed, output);

        db::openConnection(folder.databasePath());
        if (exitCode != 0) {
            QCOMPARE(everything(), before);
            return;
        }
        // The record's data under the new key, its items with the months moved; the rest as it was.
        const QString record = QStringLiteral(
            "select * from AdatlapInt where adosajat = ? and adatszolgev = ? and "
            "adatszolgnegyedev = ?");
        QStringList copy = rowsOf(record, {newKey.at(0), newKey.at(1), newKey.at(2)});
        QCOMPARE(copy.size(), 1);
        QStringList source = rowsOf(record, {arguments.at(0), arguments.at(1), arguments.at(2)});
        QCOMPARE(copy.first().section(u'|', 0, 16), source.first().section(u'|', 0, 16));
        QCOMPARE(rowsOf(kItemRow, {newKey.at(0), newKey.at(1), newKey.at(2)}), newItems);
        QStringList after = everything();
        after.removeOne(copy.first());
        QCOMPARE(after.size(), before.size() + newItems.size());
    }

    // From the main menu: the window shows the next key of the chosen record, carries it with
    // the items, refuses the second time with the store's warning, and the save menu learns the
    // new quarter when the window closes.
    void carryFromTheWindow() {
        ProgramFolder folder;
        insertFixture();
        // A record carried into a saved quarter keeps the quarter's report from leaving.
        insertRecord(QStringLiteral("11111111"), 2007, QStringLiteral("3"));
        TFormFo main;
        ScriptedMessages boxes;
        QAction saveItem(u"Mentés 2007-3"_qs);
        main.Ment(&saveItem);
        QVERIFY(main.TMenuItem_Kuldes->menuAction()->isEnabled());
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<TFormAtvetel*>(QApplication::activeModalWidget());
            QVERIFY(window);
            window->ComboBox_intezmeny->setCurrentIndex(
                window->ComboBox_intezmeny->findText(u"12345676 Szent 'Imre' Kórház 2007/2"_qs));
            QCOMPARE(window->Label_cel->text(), u"Új adatlap: 12345676 2007/3"_qs);
            const int records = window->ComboBox_intezmeny->count();
            QTest::mouseClick(window->Button_atvetel, Qt::LeftButton);
            QCOMPARE(window->ComboBox_intezmeny->count(), records + 1);
            QTest::mouseClick(window->Button_atvetel, Qt::LeftButton);
            QTest::mouseClick(window->Button_kilepes, Qt::LeftButton);
        });
        main.TMenuItem_Atvetel->trigger();
        QCOMPARE(boxes.take(),
                 (QList<ShownBox>{
                     {MessageKind::Plain,
                      u"Az adatlap átvéve: 12345676 2007/3, 3 tétel."_qs,
                      {platform::Button::Ok}},
                     {MessageKind::Warning, institution::kDuplicateKey, {platform::Button::Ok}}}));
        QStringList quarters;
        for (auto* year : main.TMenuItem_Mentes->actions())
            for (auto* quarter : year->menu()->actions())
                quarters.append(quarter->text());
        QVERIFY(quarters.contains(u"Mentés 2007-3"_qs));
        QVERIFY(!main.TMenuItem_Kuldes->menuAction()->isEnabled());
        QVERIFY(!main.TMenuItem_KisJegyz->isEnabled());
    }
};

QTEST_MAIN(TestCarryForward)
#include "test_carry_forward.moc"
