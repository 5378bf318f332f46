#pragma once

#include "period_check.h"
#include "platform/settings.h"

#include <QHash>

#include <functional>

namespace db {
class Query;
}

// The figures the statistics office would question, as warnings of the period check: an item's
// own price index outside its range, a unit price far from the previous quarter's for the same
// group and unit, a zero price or quantity, a record whose quarter is worth more than twice or
// less than half its previous quarter.
namespace toolsmenu {

class PlausibilityRules {
public:
    // Reads the previous quarter's prices and every record's value in both quarters at once.
    PlausibilityRules(const QString& year, const QString& quarter);

    // The warnings of one purchase item, the current row of a statement over AdatlapBR.
    void checkItem(const db::Query& item, const std::function<QString()>& where,
                   QList<Problem>& problems) const;
    // The warning of a record whose quarter's value is far from its previous quarter's.
    void checkRecordValue(const QString& adosajat, const QString& where,
                          QList<Problem>& problems) const;

private:
    struct Sums {
        double value = 0;     // Σ Tegysegar·Vasaroltmenny
        double quantity = 0;  // Σ Vasaroltmenny
    };
    void checkChange(const db::Query& item, double price, const QString& where,
                     QList<Problem>& problems) const;

    platform::PlausibilitySetting limits_;
    QString previousLabel_;
    QHash<QString, Sums> previousPrices_;  // by registration number, kind, group and unit
    QHash<QString, double> values_;        // by registration number, this quarter
    QHash<QString, double> previousValues_;
};

}  // namespace toolsmenu
