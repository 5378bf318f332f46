#include "step_log.h"

#include "export/saved_report.h"

#include <QSettings>

namespace overview {

namespace {

const QString kLogPath = QStringLiteral("Adatok/lepesek.ini");

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

}  // namespace

void recordCheck(const QString& year, const QString& quarter, int errors, int warnings) {
    QSettings log(kLogPath, QSettings::IniFormat);
    log.beginGroup(groupOf(year, quarter));
    log.setValue(QStringLiteral("ellenorizve"), now());
    log.setValue(QStringLiteral("hibak"), errors);
    log.setValue(QStringLiteral("figyelmeztetesek"), warnings);
    log.setValue(QStringLiteral("adatok"),
                 QString::fromLatin1(exporting::periodFingerprint(year, quarter)));
}

std::optional<CheckRecord> lastCheck(const QString& year, const QString& quarter) {
    QSettings log(kLogPath, QSettings::IniFormat);
    log.beginGroup(groupOf(year, quarter));
    const auto at = timeOf(log, QStringLiteral("ellenorizve"));
    if (!at)
        return std::nullopt;
    return CheckRecord{*at, log.value(QStringLiteral("hibak")).toInt(),
                       log.value(QStringLiteral("figyelmeztetesek")).toInt(),
                       log.value(QStringLiteral("adatok")).toString().toLatin1()};
}

void recordDelivery(Delivery delivery, const QString& year, const QString& quarter) {
    QSettings log(kLogPath, QSettings::IniFormat);
    log.beginGroup(groupOf(year, quarter));
    log.setValue(deliveryKey(delivery), now());
}

std::optional<QDateTime> lastDelivery(Delivery delivery, const QString& year,
                                      const QString& quarter) {
    QSettings log(kLogPath, QSettings::IniFormat);
    log.beginGroup(groupOf(year, quarter));
    return timeOf(log, deliveryKey(delivery));
}

}  // namespace overview
