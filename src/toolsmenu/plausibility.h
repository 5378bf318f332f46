#pragma once

#include "period_check.h"
#include "platform/settings.h"

#include <QVariantList>

#include <functional>
#include <optional>

// The figures the statistics office would question, as warnings of the period check: an item's
// own price index outside its range, a unit price far from the previous quarter's for the same
// group and unit, a zero price or quantity, a record whose quarter is worth more than twice or
// less than half its previous quarter.
namespace toolsmenu {

class PlausibilityRules {
public:
    explicit PlausibilityRules(const QString& year, const QString& quarter);

    // The previous quarter's figures are brought to each row by the engine: a join onto the
    // period's items "b" adding the columns PreviousValue and PreviousQuantity (the sums of the
    // provider's items of the same kind, group and unit), and a join onto its records "r" adding
    // QuarterValue and PreviousValue (the value of all the provider's items of each quarter). The
    // values bind the joins' placeholders, which come before any other of the statement.
    static const QString kItemJoin;
    static const QString kRecordJoin;
    QVariantList itemJoinValues() const;
    QVariantList recordJoinValues() const;

    // An item's figures as the engine holds them: nothing for NULL.
    struct ItemFigures {
        std::optional<double> price;
        std::optional<double> basePrice;
        std::optional<double> quantity;
        std::optional<double> previousValue;  // of the previous quarter's like items
        std::optional<double> previousQuantity;
    };
    // The warnings of one purchase item.
    void checkItem(const ItemFigures& item, const std::function<QString()>& where,
                   QList<Problem>& problems) const;
    // The warning of a record whose quarter's value is far from its previous quarter's.
    void checkRecordValue(std::optional<double> value, std::optional<double> previous,
                          const QString& where, QList<Problem>& problems) const;

private:
    void checkChange(const ItemFigures& item, double price, const QString& where,
                     QList<Problem>& problems) const;

    platform::PlausibilitySetting limits_;
    QString previousLabel_;
    QVariantList period_;    // year and quarter; NULLs when they are none
    QVariantList previous_;  // the previous quarter's
};

}  // namespace toolsmenu
