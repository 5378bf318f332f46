#include "price_index.h"

#include "db/query.h"
#include "db/values.h"
#include "platform/csv_file.h"
#include "purchase/item_checks.h"

#include <QHash>

#include <cmath>
#include <map>

namespace overview {

std::optional<double> PriceSums::index() const {
    const double index = value / baseValue * 100;
    // A sum beyond the largest double (of a price no data file carries) tells no index either.
    if (baseValue == 0 || !std::isfinite(index))
        return std::nullopt;
    return index;
}

void PriceSums::add(const PriceSums& other) {
    items += other.items;
    value += other.value;
    baseValue += other.baseValue;
}

namespace {

using GroupKey = std::pair<QString, QString>;  // kind, code

QHash<QString, QString> namesOf(const QString& table) {
    QHash<QString, QString> names;
    for (db::Query query(QStringLiteral("select id, nev from %1").arg(db::quoteName(table)));
         !query.eof(); query.next())
        names.insert(query.text(0), query.text(1));
    return names;
}

QVariantList periodValues(const Quarter& quarter) {
    return {quarter.year, quarter.quarterText()};
}

}  // namespace

QuarterPrices quarterPrices(const Quarter& quarter) {
    const QHash<QString, QString> kinds = namesOf(QStringLiteral("Torzs_Termekszolg"));
    const QHash<QString, QHash<QString, QString>> names{
        {purchase::kProductGroupTable, namesOf(purchase::kProductGroupTable)},
        {purchase::kServiceGroupTable, namesOf(purchase::kServiceGroupTable)}};
    QuarterPrices prices{quarter, {}, {}};
    // The engine sums over the period's index; only one row per group comes back.
    for (db::Query groups(QStringLiteral("select Termekszolg, Vtszszolgkod, count(*), "
                                         "total(Tegysegar * Vasaroltmenny), "
                                         "total(Bazisegysegar * Vasaroltmenny) from AdatlapBR "
                                         "where Beszerzev = ? and Beszerznegyedev = ? "
                                         "group by Termekszolg, Vtszszolgkod order by 1, 2"),
                          periodValues(quarter));
         !groups.eof(); groups.next()) {
        GroupPrices group{groups.text(0), {}, groups.text(1), {}, {}};
        group.kindName = kinds.value(group.kind, group.kind);
        group.name = names.value(purchase::groupTableOf(group.kind)).value(group.code);
        group.sums = {groups.value(2).toLongLong(), groups.value(3).toDouble(),
                      groups.value(4).toDouble()};
        prices.total.add(group.sums);
        prices.groups.append(group);
    }
    return prices;
}

QList<Quarter> quartersWithItems(const Quarter& upTo, int count) {
    QList<Quarter> quarters;
    for (db::Query periods(QStringLiteral("select distinct Beszerzev, Beszerznegyedev from "
                                          "AdatlapBR where Beszerzev * 10 + Beszerznegyedev <= ? "
                                          "order by 1 desc, 2 desc limit ?"),
                           {upTo.year * 10 + upTo.quarter, count});
         !periods.eof(); periods.next()) {
        if (const auto quarter = Quarter::of(periods.text(0), periods.text(1)))
            quarters.prepend(*quarter);
    }
    return quarters;
}

QString indexText(const std::optional<double>& index) {
    return index ? db::twoDecimalsText(*index) : QStringLiteral("–");
}

namespace {

// A sum as the table shows it; "–" for one beyond the largest double.
QString amountText(double amount) {
    return indexText(std::isfinite(amount) ? std::optional(amount) : std::nullopt);
}

}  // namespace

PriceTable priceTable(const QList<QuarterPrices>& quarters) {
    PriceTable table;
    table.header = {QStringLiteral("Fajta"),      QStringLiteral("Kód"),
                    QStringLiteral("Csoport"),    QStringLiteral("Tételek"),
                    QStringLiteral("Érték (Ft)"), QStringLiteral("Bázisérték (Ft)")};
    for (const QuarterPrices& quarter : quarters)
        table.header.append(QStringLiteral("Index ") + quarter.quarter.label());
    if (quarters.isEmpty())
        return table;
    // Every group of any quarter, in the order of kind and code.
    std::map<GroupKey, QList<const GroupPrices*>> groups;
    for (qsizetype at = 0; at < quarters.size(); ++at) {
        for (const GroupPrices& group : quarters[at].groups) {
            auto& row = groups[{group.kind, group.code}];
            row.resize(quarters.size());
            row[at] = &group;
        }
    }
    const auto rowOf = [](const QStringList& names, const PriceSums& chosen,
                          const QList<std::optional<double>>& indexes) {
        QStringList row = names;
        row << QString::number(chosen.items) << amountText(chosen.value)
            << amountText(chosen.baseValue);
        for (const auto& index : indexes)
            row.append(indexText(index));
        return row;
    };
    for (const auto& [key, row] : groups) {
        QList<std::optional<double>> indexes;
        const GroupPrices* named = nullptr;
        for (const GroupPrices* group : row) {
            indexes.append(group ? group->sums.index() : std::nullopt);
            named = group ? group : named;
        }
        const PriceSums chosen = row.back() ? row.back()->sums : PriceSums{};
        table.rows.append(rowOf({named->kindName, key.second, named->name}, chosen, indexes));
    }
    QList<std::optional<double>> totals;
    for (const QuarterPrices& quarter : quarters)
        totals.append(quarter.total.index());
    table.rows.append(rowOf({QString(), QString(), QStringLiteral("Negyedév összesen")},
                            quarters.back().total, totals));
    return table;
}

void writePriceTable(const QString& path, const PriceTable& table) {
    platform::writeCsvFile(path, QList<QStringList>{table.header} + table.rows);
}

}  // namespace overview
