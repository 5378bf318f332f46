// The institution's price index without a window: the quarters compared and the table's figures
// per group and for the quarter.

#include "db/values.h"
#include "overview/price_index.h"
#include "quarter_fixture.h"
#include "support/program_folder.h"

#include <QTest>

namespace {

QString figure(double value) {
    return db::twoDecimalsText(value);
}

}  // namespace

class TestPriceIndex : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // 2007/1 and 2007/4 fall outside the two quarters up to 2007/3; 2007/3's service group has no
    // base value, so no index.
    void tableOfTheQuarters() {
        testsupport::ProgramFolder folder;
        for (int quarter = 1; quarter <= 4; ++quarter)
            fixture::insertRecord(quarter);
        for (const fixture::Item& item : QList<fixture::Item>{
                 {1, 1, "1", "1010", "01", 999, 1, 1},
                 {2, 1, "1", "1010", "01", 100, 90, 10},
                 {2, 2, "2", "2010", "01", 50, 50, 4},
                 {3, 1, "1", "1010", "01", 110, 100, 10},
                 {3, 2, "1", "1010", "01", 30.5, 20, 3},
                 {3, 3, "2", "2010", "01", 60, 0, 2},
                 {4, 1, "1", "1010", "01", 999, 1, 1},
             })
            fixture::insertItem(item);

        const QList<overview::Quarter> quarters = overview::quartersWithItems({2007, 3}, 2);
        QCOMPARE(quarters, (QList<overview::Quarter>{{2007, 2}, {2007, 3}}));
        QList<overview::QuarterPrices> prices;
        for (const overview::Quarter& quarter : quarters)
            prices.append(overview::quarterPrices(quarter));
        const overview::PriceTable table = overview::priceTable(prices);

        QCOMPARE(table.header.mid(6), (QStringList{u"Index 2007/2"_qs, u"Index 2007/3"_qs}));
        QCOMPARE(table.rows.size(), 3);
        QCOMPARE(table.rows[0].mid(1),
                 (QStringList{u"1010"_qs, table.rows[0][2], u"2"_qs, figure(1191.5), figure(1060),
                              figure(1000.0 / 900 * 100), figure(1191.5 / 1060 * 100)}));
        QCOMPARE(table.rows[1].mid(1), (QStringList{u"2010"_qs, table.rows[1][2], u"1"_qs,
                                                    figure(120), figure(0), figure(100), u"–"_qs}));
        QCOMPARE(
            table.rows[2],
            (QStringList{QString(), QString(), u"Negyedév összesen"_qs, u"3"_qs, figure(1311.5),
                         figure(1060), figure(1200.0 / 1100 * 100), figure(1311.5 / 1060 * 100)}));
    }
};

QTEST_GUILESS_MAIN(TestPriceIndex)
#include "test_price_index.moc"
