#pragma once

#include <QString>

namespace transmission {

// Whether a report file belongs to the period the delivery was started for: its name begins
// with the year, "_", the quarter and "_" (2007_3_11111111_BI.txt). A file of an earlier period
// that a save run could not delete is not delivered with this one.
inline bool isOfPeriod(const QString& name, const QString& year, const QString& quarter) {
    return name.startsWith(year + u'_' + quarter + u'_');
}

// The log line naming a report file of another period that was left alone; `left` says what was
// not done ("nincs elküldve").
inline QString notOfPeriod(const QString& name, const QString& year, const QString& quarter,
                           const QString& left) {
    return QStringLiteral("%1: nem a(z) %2 - %3 negyedév állománya, %4.")
        .arg(name, year, quarter, left);
}

}  // namespace transmission
