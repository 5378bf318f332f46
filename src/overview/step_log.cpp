#include "step_log.h"

#include "platform/failure.h"
#include "platform/layout.h"

#include <QSettings>

#include <utility>

namespace overview {

namespace {

QString groupOf(const QString& year, const QString& quarter) {
    return year + u'_' + quarter;
}

QString deliveryKey(Delivery delivery) {
    return delivery == Delivery::Printed ? QStringLiteral("nyomtatva") : QStringLiteral("masolva");
}

std::optional<QDateTime> timeOf(const QSettings& log, const QString& key) {
    const QDateTime at = QDateTime::fromString(log.value(key).toString(), Qt::ISODate);
    return at.isValid() ? std::optional(at) : std::nullopt;
}

QString now() {
    return QDateTime::currentDateTime().toString(Qt::ISODate);
}

// Writes the values into the period's group at once. A log that cannot be written is a Failure
// telling what is not recorded: the overview would otherwise show the step as never done.
void record(const QString& year, const QString& quarter, const QString& what,
            const QList<std::pair<QString, QVariant>>& values) {
    QSettings log(platform::workingPath(platform::kStepLogPath), QSettings::IniFormat);
    log.beginGroup(groupOf(year, quarter));
    for (const auto& [key, value] : values)
        log.setValue(key, value);
    log.endGroup();
    log.sync();
    if (log.status() != QSettings::NoError)
        throw platform::Failure(QStringLiteral("%1 nem jegyezhető fel a lépésnaplóba (%2).")
                                    .arg(what, platform::kStepLogPath));
}

QString deliveryText(Delivery delivery) {
    return delivery == Delivery::Printed ? QStringLiteral("A kísérőjegyzékek nyomtatása")
                                         : QStringLiteral("A másolás");
}

}  // namespace

void recordCheck(const QString& year, const QString& quarter, int errors, int warnings) {
    record(year, quarter, QStringLiteral("Az ellenőrzés eredménye"),
           {{QStringLiteral("ellenorizve"), now()},
            {QStringLiteral("hibak"), errors},
            {QStringLiteral("figyelmeztetesek"), warnings}});
}

std::optional<CheckRecord> lastCheck(const QString& year, const QString& quarter) {
    QSettings log(platform::workingPath(platform::kStepLogPath), QSettings::IniFormat);
    log.beginGroup(groupOf(year, quarter));
    const auto at = timeOf(log, QStringLiteral("ellenorizve"));
    if (!at)
        return std::nullopt;
    return CheckRecord{*at, log.value(QStringLiteral("hibak")).toInt(),
                       log.value(QStringLiteral("figyelmeztetesek")).toInt()};
}

void recordDelivery(Delivery delivery, const QString& year, const QString& quarter) {
    record(year, quarter, deliveryText(delivery), {{deliveryKey(delivery), now()}});
}

std::optional<QDateTime> lastDelivery(Delivery delivery, const QString& year,
                                      const QString& quarter) {
    QSettings log(platform::workingPath(platform::kStepLogPath), QSettings::IniFormat);
    log.beginGroup(groupOf(year, quarter));
    return timeOf(log, deliveryKey(delivery));
}

}  // namespace overview
