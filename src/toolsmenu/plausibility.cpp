#include "plausibility.h"

#include "db/query.h"
#include "db/values.h"
#include "overview/quarter.h"

#include <cmath>

namespace toolsmenu {

namespace {

// The previous quarter's items are compared by provider, group and unit of quantity.
QString priceKey(const db::Query& row) {
    QString key;
    for (const char* column : {"Adosajat", "Termekszolg", "Vtszszolgkod", "Mennyisegiegyseg"})
        key += row.text(QString::fromLatin1(column)) + u'\t';
    return key;
}

QVariantList periodValues(const overview::Quarter& quarter) {
    return {quarter.year, quarter.quarterText()};
}

QHash<QString, double> recordValues(const overview::Quarter& quarter) {
    QHash<QString, double> values;
    for (db::Query records(QStringLiteral("select Adosajat, total(Tegysegar * Vasaroltmenny) from "
                                          "AdatlapBR where Beszerzev = ? and Beszerznegyedev = ? "
                                          "group by Adosajat"),
                           periodValues(quarter));
         !records.eof(); records.next())
        values.insert(records.text(0), records.value(1).toDouble());
    return values;
}

QString money(double value) {
    return db::twoDecimalsText(value) + QStringLiteral(" Ft");
}

// A figure the user wrote, as it is; the limits and shares as plain numbers.
QString number(double value) {
    return db::floatText(value);
}

}  // namespace

PlausibilityRules::PlausibilityRules(const QString& year, const QString& quarter)
    : limits_(platform::plausibilitySetting()) {
    const auto period = overview::Quarter::of(year, quarter);
    if (!period)
        return;
    const overview::Quarter previous = period->previous();
    previousLabel_ = previous.label();
    for (db::Query items(QStringLiteral("select Adosajat, Termekszolg, Vtszszolgkod, "
                                        "Mennyisegiegyseg, Tegysegar, Vasaroltmenny from AdatlapBR "
                                        "where Beszerzev = ? and Beszerznegyedev = ?"),
                         periodValues(previous));
         !items.eof(); items.next()) {
        Sums& sums = previousPrices_[priceKey(items)];
        const double quantity = items.value(5).toDouble();
        sums.value += items.value(4).toDouble() * quantity;
        sums.quantity += quantity;
    }
    values_ = recordValues(*period);
    previousValues_ = recordValues(previous);
}

void PlausibilityRules::checkItem(const db::Query& item, const std::function<QString()>& where,
                                  QList<Problem>& problems) const {
    const QVariant priceValue = item.value(QStringLiteral("Tegysegar"));
    const QVariant baseValue = item.value(QStringLiteral("Bazisegysegar"));
    const QVariant quantityValue = item.value(QStringLiteral("Vasaroltmenny"));
    // An empty value is the store checks' error already.
    const auto isZero = [](const QVariant& value) {
        return !value.isNull() && value.toDouble() == 0;
    };
    const auto warn = [&](const char* column, const QString& message) {
        problems.append({where(), QString::fromLatin1(column), message, true});
    };
    if (isZero(priceValue))
        warn("Tegysegar", QStringLiteral("Az egységár nulla!"));
    if (isZero(baseValue))
        warn("Bazisegysegar", QStringLiteral("A bázisegységár nulla!"));
    if (isZero(quantityValue))
        warn("Vasaroltmenny", QStringLiteral("A vásárolt mennyiség nulla!"));
    // A zero price has been told; its index and change would only say it again.
    if (priceValue.isNull() || baseValue.isNull() || isZero(priceValue) || isZero(baseValue))
        return;
    const double price = priceValue.toDouble();
    const double base = baseValue.toDouble();
    const double index = price / base * 100;
    if (index < limits_.indexLow || index > limits_.indexHigh)
        warn("Tegysegar", QStringLiteral("Az egységár (%1) a bázisegységár (%2) %3 %-a, a "
                                         "megszokott %4–%5 %-on kívül!")
                              .arg(money(price), money(base), db::twoDecimalsText(index),
                                   number(limits_.indexLow), number(limits_.indexHigh)));
    // Most quarters follow one of their own; a first quarter has nothing to be compared with.
    if (!previousPrices_.isEmpty())
        checkChange(item, price, where(), problems);
}

void PlausibilityRules::checkChange(const db::Query& item, double price, const QString& where,
                                    QList<Problem>& problems) const {
    const auto previous = previousPrices_.constFind(priceKey(item));
    if (previous == previousPrices_.constEnd() || previous->quantity <= 0 || previous->value <= 0)
        return;
    const double previousPrice = previous->value / previous->quantity;
    const double change = (price - previousPrice) / previousPrice * 100;
    if (std::abs(change) <= limits_.change)
        return;
    problems.append(
        {where, QStringLiteral("Tegysegar"),
         QStringLiteral("Az egységár (%1) %2 %-kal %3 az előző negyedév (%4) azonos csoportú és "
                        "mennyiségi egységű tételeinek átlagos egységáránál (%5); a megengedett "
                        "eltérés %6 %!")
             .arg(money(price), db::twoDecimalsText(std::abs(change)),
                  change > 0 ? QStringLiteral("magasabb") : QStringLiteral("alacsonyabb"),
                  previousLabel_, money(previousPrice), number(limits_.change)),
         true});
}

void PlausibilityRules::checkRecordValue(const QString& adosajat, const QString& where,
                                         QList<Problem>& problems) const {
    const double previous = previousValues_.value(adosajat);
    const double value = values_.value(adosajat);
    if (previous <= 0 || !values_.contains(adosajat))
        return;
    if (value <= 2 * previous && value >= previous / 2)
        return;
    problems.append({where,
                     {},
                     QStringLiteral("A negyedév beszerzéseinek értéke (%1) %2, mint az előző "
                                    "negyedévé (%3: %4)!")
                         .arg(money(value),
                              value > previous ? QStringLiteral("több mint kétszer annyi")
                                               : QStringLiteral("kevesebb mint fele annyi"),
                              previousLabel_, money(previous)),
                     true});
}

}  // namespace toolsmenu
