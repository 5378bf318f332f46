#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// What the program did for a period that leaves no file of its own to tell it by: the period
// check's result, the printing of the cover notes and the copy to the removable medium. Kept in
// the step log of the working folder (platform::kStepLogPath), one group per period. A step that
// cannot be recorded is a Failure saying so.
namespace overview {

struct CheckRecord {
    QDateTime at;
    int errors = 0;
    int warnings = 0;
};

void recordCheck(const QString& year, const QString& quarter, int errors, int warnings);
std::optional<CheckRecord> lastCheck(const QString& year, const QString& quarter);

enum class Delivery { Printed, Copied };

void recordDelivery(Delivery delivery, const QString& year, const QString& quarter);
std::optional<QDateTime> lastDelivery(Delivery delivery, const QString& year,
                                      const QString& quarter);

}  // namespace overview
