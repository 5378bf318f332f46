#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace toolsmenu {

// A record's address held against the code lists: the county its settlement lies in and the
// postal codes that belong to the settlement (a Budapest district has the city's codes).
class SettlementAddresses {
public:
    // Reads the lists once, for a whole period.
    SettlementAddresses();

    struct Mismatch {
        QString column;
        QString message;
    };

    // What does not belong to the settlement: its county (Sz_megyekod), its postal code (Irsz).
    // A settlement the lists lack, or an empty county or postal code, is left to the store checks.
    QList<Mismatch> mismatches(const QString& settlement, const QString& county,
                               const QString& postalCode) const;

private:
    QHash<QString, QString> countyNames_;
    QHash<QString, QString> countyOf_;
    QHash<QString, QStringList> postalCodesOf_;
};

}  // namespace toolsmenu
