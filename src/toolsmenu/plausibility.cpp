#include "plausibility.h"

#include "db/values.h"
#include "overview/quarter.h"

#include <cmath>

namespace toolsmenu {

namespace {

QString money(double value) {
    return db::twoDecimalsText(value) + QStringLiteral(" Ft");
}

// A figure the user wrote, as it is; the limits and shares as plain numbers.
QString number(double value) {
    return db::floatText(value);
}

}  // namespace

// Grouped once by the engine, which indexes the groups for the join; an empty code stands for a
// missing one, as the items' texts show them.
const QString PlausibilityRules::kItemJoin = QStringLiteral(
    "left join (select Adosajat, ifnull(Termekszolg, '') as Termekszolg, "
    "ifnull(Vtszszolgkod, '') as Vtszszolgkod, ifnull(Mennyisegiegyseg, '') as Mennyisegiegyseg, "
    "total(Tegysegar * Vasaroltmenny) as PreviousValue, total(Vasaroltmenny) as PreviousQuantity "
    "from AdatlapBR where Beszerzev = ? and Beszerznegyedev = ? group by 1, 2, 3, 4) as p "
    "on p.Adosajat = b.Adosajat and p.Termekszolg = ifnull(b.Termekszolg, '') and "
    "p.Vtszszolgkod = ifnull(b.Vtszszolgkod, '') and "
    "p.Mennyisegiegyseg = ifnull(b.Mennyisegiegyseg, '')");

const QString PlausibilityRules::kRecordJoin = QStringLiteral(
    "left join (select Adosajat, total(Tegysegar * Vasaroltmenny) as QuarterValue from AdatlapBR "
    "where Beszerzev = ? and Beszerznegyedev = ? group by Adosajat) as v on v.Adosajat = "
    "r.Adosajat left join (select Adosajat, total(Tegysegar * Vasaroltmenny) as PreviousValue "
    "from AdatlapBR where Beszerzev = ? and Beszerznegyedev = ? group by Adosajat) as pv on "
    "pv.Adosajat = r.Adosajat");

PlausibilityRules::PlausibilityRules(const QString& year, const QString& quarter)
    : limits_(platform::plausibilitySetting()),
      period_{QVariant(), QVariant()},
      previous_{QVariant(), QVariant()} {
    const auto period = overview::Quarter::of(year, quarter);
    if (!period)
        return;
    const overview::Quarter previous = period->previous();
    previousLabel_ = previous.label();
    period_ = {period->year, period->quarterText()};
    previous_ = {previous.year, previous.quarterText()};
}

QVariantList PlausibilityRules::itemJoinValues() const {
    return previous_;
}

QVariantList PlausibilityRules::recordJoinValues() const {
    return period_ + previous_;
}

void PlausibilityRules::checkItem(const ItemFigures& item, const std::function<QString()>& where,
                                  QList<Problem>& problems) const {
    // An empty value is the store checks' error already.
    const auto isZero = [](std::optional<double> value) { return value && *value == 0; };
    const auto warn = [&](const char* column, const QString& message) {
        problems.append({where(), QString::fromLatin1(column), message, true});
    };
    if (isZero(item.price))
        warn("Tegysegar", QStringLiteral("Az egységár nulla!"));
    if (isZero(item.basePrice))
        warn("Bazisegysegar", QStringLiteral("A bázisegységár nulla!"));
    if (isZero(item.quantity))
        warn("Vasaroltmenny", QStringLiteral("A vásárolt mennyiség nulla!"));
    // A zero price has been told; its index and change would only say it again.
    if (!item.price || !item.basePrice || isZero(item.price) || isZero(item.basePrice))
        return;
    const double price = *item.price;
    const double base = *item.basePrice;
    const double index = price / base * 100;
    if (index < limits_.indexLow || index > limits_.indexHigh)
        warn("Tegysegar", QStringLiteral("Az egységár (%1) a bázisegységár (%2) %3 %-a, a "
                                         "megszokott %4–%5 %-on kívül!")
                              .arg(money(price), money(base), db::twoDecimalsText(index),
                                   number(limits_.indexLow), number(limits_.indexHigh)));
    checkChange(item, price, where(), problems);
}

void PlausibilityRules::checkChange(const ItemFigures& item, double price, const QString& where,
                                    QList<Problem>& problems) const {
    // A first quarter, or a group new this quarter, has nothing to be compared with.
    const double previousValue = item.previousValue.value_or(0);
    const double previousQuantity = item.previousQuantity.value_or(0);
    if (previousQuantity <= 0 || previousValue <= 0)
        return;
    const double previousPrice = previousValue / previousQuantity;
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

void PlausibilityRules::checkRecordValue(std::optional<double> value,
                                         std::optional<double> previousValue, const QString& where,
                                         QList<Problem>& problems) const {
    const double previous = previousValue.value_or(0);
    if (previous <= 0 || !value)
        return;
    if (*value <= 2 * previous && *value >= previous / 2)
        return;
    problems.append({where,
                     {},
                     QStringLiteral("A negyedév beszerzéseinek értéke (%1) %2, mint az előző "
                                    "negyedévé (%3: %4)!")
                         .arg(money(*value),
                              *value > previous ? QStringLiteral("több mint kétszer annyi")
                                                : QStringLiteral("kevesebb mint fele annyi"),
                              previousLabel_, money(previous)),
                     true});
}

}  // namespace toolsmenu
