#pragma once

#include "quarter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The institution's own price change: the quantity-weighted price index of a quarter's purchase
// items, Σ(Tegysegar·Vasaroltmenny) / Σ(Bazisegysegar·Vasaroltmenny) × 100, per product and
// service group and for the whole quarter.
namespace overview {

struct PriceSums {
    qint64 items = 0;
    double value = 0;      // Σ Tegysegar·Vasaroltmenny
    double baseValue = 0;  // Σ Bazisegysegar·Vasaroltmenny

    // Nothing when the base value is zero or a sum is beyond the largest double: no index can be
    // told.
    std::optional<double> index() const;
    void add(const PriceSums& other);
};

struct GroupPrices {
    QString kind;      // Termekszolg: product or service
    QString kindName;  // as the purchase editor's list shows it
    QString code;      // Vtszszolgkod
    QString name;      // the group's name in its code table; empty for a code the table lacks
    PriceSums sums;
};

struct QuarterPrices {
    Quarter quarter;
    QList<GroupPrices> groups;  // ordered by kind and code
    PriceSums total;
};

QuarterPrices quarterPrices(const Quarter& quarter);

// The newest quarters that have purchase items, up to and including upTo, at most count of
// them, oldest first.
QList<Quarter> quartersWithItems(const Quarter& upTo, int count);

// The chosen quarter's figures beside the index of the quarters before it: the table of the
// overview window and of its CSV file.
struct PriceTable {
    QStringList header;
    QList<QStringList> rows;  // one per group of any of the quarters, the whole quarter's last
};

// quarters oldest first, the chosen one last.
PriceTable priceTable(const QList<QuarterPrices>& quarters);

// Writes the table as a spreadsheet program reads it (platform::writeCsvFile).
void writePriceTable(const QString& path, const PriceTable& table);

// An index as the table shows it: two decimals, the regional decimal separator; "–" for none.
QString indexText(const std::optional<double>& index);

}  // namespace overview
