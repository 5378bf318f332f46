// The plausibility warnings of "velkor --check": one quarter of a provider against the one before,
// each rule made to fire by one change; warnings alone leave the exit status 0.

#include "db/connection.h"
#include "db/values.h"
#include "overview/quarter_fixture.h"
#include "support/program_folder.h"

#include <QProcess>
#include <QTest>

using testsupport::ProgramFolder;

namespace {

// 2007/2: 10 × 100 Ft. 2007/3: 10 × 110 Ft of the same group and unit, 1 × 300 Ft of another
// unit; the quarter is worth 1,400 Ft against 1,000.
void insertQuarters() {
    fixture::insertRecord(2);
    fixture::insertRecord(3);
    fixture::insertItem({2, 1, "1", "1010", "01", 100, 100, 10});
    fixture::insertItem({3, 1, "1", "1010", "01", 110, 100, 10});
    fixture::insertItem({3, 2, "1", "1010", "02", 300, 200, 1});
}

QString money(double value) {
    return db::twoDecimalsText(value) + QStringLiteral(" Ft");
}

QString itemWarning(int number, const char* column, const QString& message) {
    return QStringLiteral("Figyelmeztetés: Tétel 12345676 2007/3 %1., %2: %3")
        .arg(number)
        .arg(QLatin1String(column), message);
}

QString indexWarning(int number, double price, double base, const QString& range) {
    return itemWarning(
        number, "Tegysegar",
        QStringLiteral("Az egységár (%1) a bázisegységár (%2) %3 %-a, a megszokott "
                       "%4 %-on kívül!")
            .arg(money(price), money(base), db::twoDecimalsText(price / base * 100), range));
}

QString changeWarning(double price, double change, const QString& allowed) {
    return itemWarning(1, "Tegysegar",
                       QStringLiteral("Az egységár (%1) %2 %-kal magasabb az előző negyedév "
                                      "(2007/2) azonos csoportú és mennyiségi egységű tételeinek "
                                      "átlagos egységáránál (%3); a megengedett eltérés %4 %!")
                           .arg(money(price), db::twoDecimalsText(change), money(100), allowed));
}

QString valueWarning(double value, const char* comparison) {
    return QStringLiteral(
               "Figyelmeztetés: Adatlap 12345676 2007/3: A negyedév beszerzéseinek "
               "értéke (%1) %2, mint az előző negyedévé (2007/2: %3)!")
        .arg(money(value), QString::fromUtf8(comparison), money(1000));
}

}  // namespace

class TestPlausibility : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void warningsOfTheCheck_data() {
        QTest::addColumn<QString>("change");       // statements run on the fixture, ";" apart
        QTest::addColumn<QByteArray>("settings");  // velkor.ini
        QTest::addColumn<QStringList>("output");
        const QString item2 = QStringLiteral(
            "update AdatlapBR set %1 where Tetelsorszam = 2 and "
            "Beszerznegyedev = '3'");
        const QString item1 = QStringLiteral(
            "update AdatlapBR set %1 where Tetelsorszam = 1 and "
            "Beszerznegyedev = '3'");
        QTest::newRow("plausible") << QString() << QByteArray() << QStringList{u"Nincs hiba."_qs};
        QTest::newRow("own index out of range")
            << item2.arg(u"Bazisegysegar = 100") << QByteArray()
            << QStringList{indexWarning(2, 300, 100, u"50–200"_qs)};
        QTest::newRow("price far from the previous quarter's")
            << item1.arg(u"Tegysegar = 160, Bazisegysegar = 150") << QByteArray()
            << QStringList{changeWarning(160, 60, u"50"_qs)};
        QTest::newRow("zero price")
            << item2.arg(u"Tegysegar = 0") << QByteArray()
            << QStringList{itemWarning(2, "Tegysegar", u"Az egységár nulla!"_qs)};
        QTest::newRow("zero base price")
            << item2.arg(u"Bazisegysegar = 0") << QByteArray()
            << QStringList{itemWarning(2, "Bazisegysegar", u"A bázisegységár nulla!"_qs)};
        QTest::newRow("zero quantity")
            << item2.arg(u"Vasaroltmenny = 0") << QByteArray()
            << QStringList{itemWarning(2, "Vasaroltmenny", u"A vásárolt mennyiség nulla!"_qs)};
        QTest::newRow("quarter worth more than twice the previous")
            << item1.arg(u"Vasaroltmenny = 30") << QByteArray()
            << QStringList{valueWarning(3600, "több mint kétszer annyi")};
        QTest::newRow("quarter worth less than half the previous")
            << item1.arg(u"Vasaroltmenny = 1") << QByteArray()
            << QStringList{valueWarning(410, "kevesebb mint fele annyi")};
        QTest::newRow("limits from the settings")
            << QString() << QByteArray("[check]\nindex_low = 90\nindex_high = 105,5\nchange = 5\n")
            << QStringList{indexWarning(1, 110, 100, u"90–"_qs + db::floatText(105.5)),
                           changeWarning(110, 10, u"5"_qs),
                           indexWarning(2, 300, 200, u"90–"_qs + db::floatText(105.5))};
        // A figure exactly at its limit is still plausible.
        QTest::newRow("index 200 %, change 50 %")
            << item2.arg(u"Bazisegysegar = 150") + u';' + item1.arg(u"Tegysegar = 150")
            << QByteArray() << QStringList{u"Nincs hiba."_qs};
        QTest::newRow("index 50 %, quarter worth twice the previous")
            << item2.arg(u"Bazisegysegar = 600") + u';' +
                   item1.arg(u"Tegysegar = 100, Vasaroltmenny = 17")
            << QByteArray() << QStringList{u"Nincs hiba."_qs};
        QTest::newRow("quarter worth half the previous")
            << item1.arg(u"Tegysegar = 100, Vasaroltmenny = 2") << QByteArray()
            << QStringList{u"Nincs hiba."_qs};
    }

    void warningsOfTheCheck() {
        QFETCH(QString, change);
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, output);
        ProgramFolder folder(false);
        const QString program = folder.copyProgram();
        db::openConnection(folder.databasePath());
        insertQuarters();
        for (const QString& statement : change.split(u';', Qt::SkipEmptyParts))
            db::execute(statement);
        db::closeConnection();
        // The collecting organisation is set, so the placeholder warning stays out.
        QVERIFY(testsupport::writeFile(folder.file(QStringLiteral("velkor.ini")),
                                       "[addressee]\naddress = a\npostal_address = p\n"
                                       "decree = d\n" +
                                           settings));

        QProcess velkor;
        velkor.start(program,
                     {QStringLiteral("--check"), QStringLiteral("2007"), QStringLiteral("3")});
        QVERIFY(velkor.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(velkor.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
                 output);
        QCOMPARE(velkor.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPlausibility)
#include "test_plausibility.moc"
