// "Negyedév áttekintése" over two quarters of one provider, opened from the main window's keyboard
// after a save run: its steps, its price index against the formula worked out here, its chart,
// the CSV and PNG files it saves and a step's button.

#include "app/UnitFo.h"
#include "db/values.h"
#include "overview/price_index.h"
#include "overview/quarter_fixture.h"
#include "overview/widgets/UnitAttekintes.h"
#include "support/program_folder.h"
#include "support/scripted_messages.h"
#include "toolsmenu/widgets/UnitEllenorzes.h"

#include <QAction>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <map>

namespace {

const QList<fixture::Item> kItems{
    {2, 1, "1", "1010", "01", 100, 90, 10},  {2, 2, "2", "2010", "01", 50, 50, 4},
    {3, 1, "1", "1010", "01", 110, 100, 10}, {3, 2, "1", "1010", "01", 30.5, 20, 3},
    {3, 3, "2", "2010", "01", 60, 50, 2},
};

// Σ(price·quantity) / Σ(base price·quantity) × 100 of the quarter's items of the group (of all
// groups when none is named).
double expectedIndex(int quarter, const QString& group = {}) {
    double value = 0;
    double base = 0;
    for (const fixture::Item& item : kItems) {
        if (item.quarter == quarter && (group.isEmpty() || group == QLatin1String(item.group))) {
            value += item.price * item.quantity;
            base += item.basePrice * item.quantity;
        }
    }
    return value / base * 100;
}

QAction* saveItemOf(TFormFo& main, const QString& caption) {
    for (QAction* item : main.TMenuItem_Mentes->actions().value(0)->menu()->actions()) {
        if (item->text().remove(u'&') == caption)
            return item;
    }
    return nullptr;
}

QStringList rowOf(const QTableWidget& table, int row) {
    QStringList cells;
    for (int column = 0; column < table.columnCount(); ++column)
        cells.append(table.item(row, column)->text());
    return cells;
}

void inspect(TFormAttekintes& window) {
    const auto state = [&window](int step) { return window.Label_lepesek[step]->text(); };
    QCOMPARE(state(0), u"✔ 1 adatlap"_qs);
    QCOMPARE(state(1), u"✔ 3 tétel"_qs);
    QCOMPARE(state(2), u"✘ még nem futott"_qs);
    QVERIFY2(state(3).startsWith(u"✔ 3 állomány megvan, ép"_qs), qPrintable(state(3)));
    QCOMPARE(state(4), u"✘ még nem küldte el"_qs);
    QCOMPARE(state(6), u"✘ nincs átmásolva"_qs);
    QVERIFY(window.Button_lepesek[4]->isEnabled());  // the save run enabled the Send entry

    // Per group and for the quarter, this quarter's index last, the previous one's before it.
    const QTableWidget& table = *window.Table_arindex;
    QCOMPARE(table.rowCount(), 3);
    const QStringList groups{u"1010"_qs, u"2010"_qs, QString()};
    for (int row = 0; row < 3; ++row) {
        const QStringList cells = rowOf(table, row);
        QCOMPARE(cells[1], groups[row]);
        QCOMPARE(cells.last(), overview::indexText(expectedIndex(3, groups[row])));
        QCOMPARE(cells[cells.size() - 2], overview::indexText(expectedIndex(2, groups[row])));
    }
    QCOMPARE(rowOf(table, 2).mid(2, 2), (QStringList{u"Negyedév összesen"_qs, u"3"_qs}));

    const auto* bars = qobject_cast<QBarSeries*>(window.ChartView_csoportok->chart()->series()[0]);
    QCOMPARE(bars->barSets()[0]->at(0), expectedIndex(3, u"1010"_qs));
    QCOMPARE(bars->barSets()[0]->at(1), expectedIndex(3, u"2010"_qs));
    const auto* line =
        qobject_cast<QLineSeries*>(window.ChartView_negyedevek->chart()->series()[0]);
    QCOMPARE(line->points(), (QList<QPointF>{{0, expectedIndex(2)}, {1, expectedIndex(3)}}));

    window.Button_csv->click();
    // A number with its decimal comma stands between quotes.
    const auto csvLine = [](QStringList cells) {
        for (QString& cell : cells) {
            if (cell.contains(u','))
                cell = u'"' + cell + u'"';
        }
        return cells.join(u';').toUtf8() + "\r\n";
    };
    QByteArray csv = "\xEF\xBB\xBF";
    QStringList header;
    for (int column = 0; column < table.columnCount(); ++column)
        header.append(table.horizontalHeaderItem(column)->text());
    csv += csvLine(header);
    for (int row = 0; row < table.rowCount(); ++row)
        csv += csvLine(rowOf(table, row));
    QCOMPARE(testsupport::readFile(QStringLiteral("Listak/2007_3_arindex.csv")), csv);
    window.Button_png->click();
    QVERIFY(!QImage(QStringLiteral("Listak/2007_3_arindex.png")).isNull());
    QCOMPARE(window.Label_mentve->text(), u"A grafikon: Listak/2007_3_arindex.png"_qs);
}

}  // namespace

class TestOverview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quarterAtAGlance() {
        testsupport::ProgramFolder folder;
        testsupport::ScriptedMessages messages;
        fixture::insertRecord(2);
        fixture::insertRecord(3);
        for (const fixture::Item& item : kItems)
            fixture::insertItem(item);
        TFormFo main;
        saveItemOf(main, u"Mentés 2007-3"_qs)->trigger();
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));

        bool inspected = false;
        bool checkOpened = false;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<TFormAttekintes*>(QApplication::activeModalWidget());
            QVERIFY(window);
            inspect(*window);
            inspected = true;
            // A step's button closes the overview and opens the window of the step.
            auto* poll = new QTimer(&main);
            QObject::connect(poll, &QTimer::timeout, [&] {
                if (auto* check =
                        qobject_cast<TFormEllenorzes*>(QApplication::activeModalWidget())) {
                    checkOpened = true;
                    check->Button_kilepes->click();
                }
            });
            poll->start(10);
            window->Button_lepesek[2]->click();
        });
        QTest::keyClick(&main, Qt::Key_E, Qt::AltModifier);
        QTRY_VERIFY(main.TMenuItem_Eszkozok->isVisible());
        QTest::keyClick(main.TMenuItem_Eszkozok, Qt::Key_G);
        QTRY_VERIFY(inspected);
        QTRY_VERIFY(checkOpened);
        QCOMPARE(messages.takeTexts(), QStringList());
    }

    // The table file opens in a spreadsheet program with every value in a cell of its own, also
    // when it splits at "," besides ";": a group name and the decimals hold a comma.
    void tableFileOpensInSpreadsheet() {
        testsupport::ProgramFolder folder;
        fixture::insertRecord(3);
        fixture::insertItem({3, 1, "1", "1020", "01", 1250.5, 1000, 3});  // Injekció, infúzió
        const overview::PriceTable table = overview::priceTable(
            {overview::quarterPrices(*overview::Quarter::of(u"2007"_qs, u"3"_qs))});
        overview::writePriceTable(u"arindex.csv"_qs, table);
        QProcess soffice;  // with a profile of its own, apart from the user's settings
        soffice.start(
            u"soffice"_qs,
            {u"-env:UserInstallation=file://"_qs + folder.path(), u"--headless"_qs,
             u"--infilter=CSV:59/44,34,76,1,,1038,true"_qs, u"--convert-to"_qs,
             u"txt:Text - txt - csv (StarCalc):9,34,76,1,,1038,false"_qs, u"arindex.csv"_qs});
        QVERIFY(soffice.waitForFinished(180000) && soffice.exitCode() == 0);
        QList<QStringList> cells;
        for (const QString& row : QString::fromUtf8(testsupport::readFile(u"arindex.txt"_qs))
                                      .remove(u'\r')
                                      .split(u'\n', Qt::SkipEmptyParts))
            cells.append(row.split(u'\t'));
        QCOMPARE(cells, QList<QStringList>{table.header} + table.rows);
    }
};

QTEST_MAIN(TestOverview)
#include "test_overview.moc"
