#pragma once

#include <QString>

#include <compare>
#include <optional>

namespace overview {

// A year and quarter of the report.
struct Quarter {
    int year = 0;
    int quarter = 0;  // 1 to 4

    // The year and quarter as the menus and files write them; nothing when they are not a year
    // and a quarter from 1 to 4.
    static std::optional<Quarter> of(const QString& year, const QString& quarter);

    QString yearText() const { return QString::number(year); }
    QString quarterText() const { return QString::number(this->quarter); }
    // "2007/3", as the lists name a period.
    QString label() const { return yearText() + u'/' + quarterText(); }
    // "2007_3_", the beginning of every report file's name of the period.
    QString filePrefix() const { return yearText() + u'_' + quarterText() + u'_'; }
    // The calendar quarter before: the first quarter follows the last of the year before.
    Quarter previous() const {
        return quarter > 1 ? Quarter{year, quarter - 1} : Quarter{year - 1, 4};
    }

    auto operator<=>(const Quarter&) const = default;
};

inline std::optional<Quarter> Quarter::of(const QString& year, const QString& quarter) {
    bool yearOk = false;
    bool quarterOk = false;
    const Quarter period{year.toInt(&yearOk), quarter.toInt(&quarterOk)};
    if (!yearOk || !quarterOk || period.quarter < 1 || period.quarter > 4)
        return std::nullopt;
    return period;
}

}  // namespace overview
