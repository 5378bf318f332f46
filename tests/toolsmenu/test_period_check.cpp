// Checking a whole period before the save run: through "velkor --check" and through its window
// from the main menu, over a period with one problem of each kind.

#include "app/UnitFo.h"
#include "db/connection.h"
#include "db/query.h"
#include "platform/codepage.h"
#include "support/program_folder.h"
#include "toolsmenu/widgets/UnitEllenorzes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using testsupport::ProgramFolder;

namespace {

// A record that passes every check but the ones a test breaks.
void insertRecord(const QString& adosajat, int quarter, const QString& intnev,
                  const QString& settlement) {
    db::execute(
        QStringLiteral("insert into AdatlapInt values (?, ?, '12', ?, '2660', 'x', 'Fő utca', "
                       "'1', '2441', '11', '123456', 'Kiss Anna', 'nincs', '1234', 'Nagy Béla', "
                       "'vezeto@korhaz.hu', '5678', 2007, ?)"),
        {adosajat, intnev, settlement, QString::number(quarter)});
}

// An item that passes every check but the ones a test breaks.
void insertItem(const QString& adosajat, int number, const QString& month, const QString& group,
                const QString& unit) {
    db::execute(QStringLiteral("insert into AdatlapBR values (?, 2007, '3', ?, ?, '1', ?, "
                               "'24421300', '30049019', 'Tabletta', ?, 10, '1', '01', '1', "
                               "12.5, 11)"),
                {adosajat, month, number, group, unit});
}

// 12345676 (check digit right) has a good item, three bad ones, a copy of the good one and one the
// data file cannot hold; 12345678 (check digit wrong) has no name and no items; 11111111 names a
// settlement the code list lacks; 99999997's item has no record; a record of another quarter stays
// out. 22222222's county and 44444444's postal code are not those of their settlement; 33333333,
// in a Budapest district, has a code of the city.
void insertFixture() {
    const QString a = QStringLiteral("12345676");
    insertRecord(a, 3, QStringLiteral("Szent 'Imre' Kórház"), QStringLiteral("01508"));
    insertItem(a, 1, QStringLiteral("07"), QStringLiteral("1010"), QStringLiteral("01"));
    insertItem(a, 2, QStringLiteral("08"), QStringLiteral("1010"), QStringLiteral("99"));
    insertItem(a, 3, QStringLiteral("09"), QStringLiteral("9999"), QStringLiteral("01"));
    insertItem(a, 4, QStringLiteral("01"), QStringLiteral("1010"), QStringLiteral("01"));
    insertItem(a, 5, QStringLiteral("07"), QStringLiteral("1010"), QStringLiteral("01"));
    insertItem(a, 100000, QStringLiteral("07"), QStringLiteral("1010"), QStringLiteral("01"));
    db::execute(
        QStringLiteral("update AdatlapBR set Vasaroltmenny = 1234567890 "
                       "where Tetelsorszam = 100000"));
    insertRecord(QStringLiteral("12345678"), 3, QString(), QStringLiteral("01508"));
    insertRecord(QStringLiteral("11111111"), 3, QStringLiteral("Rendelő"), QStringLiteral("99999"));
    insertItem(QStringLiteral("11111111"), 1, QStringLiteral("07"), QStringLiteral("1010"),
               QStringLiteral("01"));
    insertItem(QStringLiteral("99999997"), 1, QStringLiteral("07"), QStringLiteral("1010"),
               QStringLiteral("01"));
    insertRecord(QStringLiteral("12345678"), 2, QString(), QStringLiteral("01508"));
    for (const char* adosajat : {"22222222", "33333333", "44444444"}) {
        insertRecord(QString::fromLatin1(adosajat), 3, QStringLiteral("Kórház"),
                     QStringLiteral("01508"));
        insertItem(QString::fromLatin1(adosajat), 1, QStringLiteral("07"), QStringLiteral("1010"),
                   QStringLiteral("01"));
    }
    db::execute(
        QStringLiteral("update AdatlapInt set Sz_megyekod = '13' where Adosajat = "
                       "'22222222'"));
    db::execute(
        QStringLiteral("update AdatlapInt set Sz_megyekod = '01', Sz_telepuleskod = "
                       "'09566', Irsz = '1011' where Adosajat = '33333333'"));
    db::execute(QStringLiteral("update AdatlapInt set Irsz = '5300' where Adosajat = '44444444'"));
}

// The shipped placeholder addressee is there while velkor.ini names none.
const QString kPlaceholderAddressee = QStringLiteral(
    "Figyelmeztetés: A kísérőjegyzék címzettje még a program mintaadata; a gyűjtő szervezet "
    "adatait a velkor.ini [addressee] csoportjában kell megadni: address, postal_address, decree");

const QStringList kProblems = {
    kPlaceholderAddressee,
    "Adatlap 11111111 2007/3, Sz_telepuleskod: Nincs ilyen kódú település!",
    "Tétel 12345676 2007/3 2., Mennyisegiegyseg: A 'Mennyiségi egység' nevű mezőben megadott "
    "\"99\" nem szerepel a kódtáblában!!!",
    "Tétel 12345676 2007/3 3., Vtszszolgkod: Nincs ilyen kódú csoport!",
    "Tétel 12345676 2007/3 4., Beszerzho: A 'Beszerzés hónapja' nevű mező nincs kitöltve!!!",
    "Figyelmeztetés: Tétel 12345676 2007/3 5.: megegyezik a(z) 1. tétellel",
    "Tétel 12345676 2007/3 100000., Tetelsorszam: A(z) \"100000\" érték nem fér el az "
    "adatállomány 5 karakteres mezőjében!",
    "Tétel 12345676 2007/3 100000., Vasaroltmenny: A(z) \"1234567890\" érték nem fér el az "
    "adatállomány 9 karakteres mezőjében!",
    "Figyelmeztetés: Adatlap 12345678 2007/3, Adosajat: A 'törzsszám' nevű mezőben megadott "
    "adószámnak ellenőrző karaktere hibás! Valóban ez az intézmény hivatalos adószáma?",
    "Adatlap 12345678 2007/3, Intnev: A 'Adatszolgáltató neve' nevű mező nincs kitöltve!!!",
    "Adatlap 12345678 2007/3: nincs beszerzési tétele",
    "Figyelmeztetés: Adatlap 22222222 2007/3, Sz_megyekod: A(z) 01508 kódú település megyéje "
    "12 (Nógrád), nem 13 (Pest)!",
    "Figyelmeztetés: Adatlap 44444444 2007/3, Irsz: A(z) 5300 irányítószám nem a(z) 01508 kódú "
    "településé; annak irányítószámai: 2660!",
    "Tétel 99999997 2007/3 1.: nincs hozzá adatlap, a mentés kihagyja",
};

QByteArray listFile(const QStringList& lines) {
    return platform::toWindows1250(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

}  // namespace

class TestPeriodCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // output: what the program prints; list: the lines of the saved list, none when nothing is
    // saved.
    void checkThroughTheCommandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("output");
        QTest::addColumn<QStringList>("list");
        QTest::newRow("one problem of each kind")
            << QStringList{"2007", "3"} << 1 << kProblems << kProblems;
        const QStringList empty = {"Nincs adatlap a(z) 2006. év 1. negyedévére.",
                                   kPlaceholderAddressee};
        QTest::newRow("a period without records")
            << QStringList{"2006", "1"} << 1 << empty << empty;
        QTest::newRow("no such quarter") << QStringList{"2007", "5"} << 1
                                         << QStringList{"Nincs ilyen negyedév: 5"} << QStringList();
        QTest::newRow("quarter missing")
            << QStringList{"2007"} << 1 << QStringList{"Használat: velkor --check ÉV NEGYEDÉV"}
            << QStringList();
    }

    void checkThroughTheCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, output);
        QFETCH(QStringList, list);
        ProgramFolder folder(false);
        const QString program = folder.copyProgram();
        db::openConnection(folder.databasePath());
        insertFixture();
        db::closeConnection();

        QProcess velkor;
        velkor.start(program, QStringList{QStringLiteral("--check")} + arguments);
        QVERIFY(velkor.waitForFinished(30000));
        QCOMPARE(velkor.exitCode(), exitCode);
        const QByteArray printed =
            list.isEmpty() ? velkor.readAllStandardError() : velkor.readAllStandardOutput();
        QCOMPARE(QString::fromUtf8(printed).split(u'\n', Qt::SkipEmptyParts), output);
        const QString saved = folder.file(QStringLiteral("Listak/%1_%2_ellenorzes.txt")
                                              .arg(arguments.value(0), arguments.value(1)));
        if (list.isEmpty())
            QVERIFY(!QFile::exists(saved));
        else
            QCOMPARE(testsupport::readFile(saved), listFile(list));
    }

    // From the main menu: the newest quarter with records is offered, the chosen quarter's problems
    // listed and saved.
    void checkFromTheWindow() {
        ProgramFolder folder;
        insertFixture();
        TFormFo main;
        QStringList shown;
        QString result;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<TFormEllenorzes*>(QApplication::activeModalWidget());
            QVERIFY(window);
            QCOMPARE(window->ComboBox_ev->currentText(), u"2007"_qs);
            QCOMPARE(window->ComboBox_negyedev->currentText(), u"3"_qs);  // the newest with records
            QVERIFY(window->ListBox_problemak->wordWrap());
            QTest::mouseClick(window->Button_ellenorzes, Qt::LeftButton);
            for (int row = 0; row < window->ListBox_problemak->count(); ++row)
                shown.append(window->ListBox_problemak->item(row)->text());
            result = window->Label_eredmeny->text();
            QTest::mouseClick(window->Button_kilepes, Qt::LeftButton);
        });
        main.TMenuItem_Ellenorzes->trigger();
        QCOMPARE(shown, kProblems);
        QCOMPARE(result, u"14 probléma. A lista: Listak/2007_3_ellenorzes.txt"_qs);
        QCOMPARE(testsupport::readFile(QStringLiteral("Listak/2007_3_ellenorzes.txt")),
                 listFile(kProblems));
    }
};

QTEST_MAIN(TestPeriodCheck)
#include "test_period_check.moc"
