#include "address_check.h"

#include "db/query.h"

namespace toolsmenu {

namespace {

// So many of a settlement's postal codes are named in a message; Budapest has over a hundred.
constexpr qsizetype kCodesNamed = 5;

QString codesText(const QStringList& codes) {
    QString text = codes.mid(0, kCodesNamed).join(QStringLiteral(", "));
    return codes.size() > kCodesNamed ? text + QStringLiteral(", …") : text;
}

}  // namespace

SettlementAddresses::SettlementAddresses() {
    for (db::Query query(QStringLiteral("select ID, Nev from Torzs_KSHMEGYE")); !query.eof();
         query.next())
        countyNames_.insert(query.text(0), query.text(1));
    for (db::Query query(QStringLiteral(
             "select telepules, megye, irsz from Torzs_TELEPULESIRSZ order by telepules, irsz"));
         !query.eof(); query.next()) {
        countyOf_.insert(query.text(0), query.text(1));
        postalCodesOf_[query.text(0)].append(query.text(2));
    }
}

QList<SettlementAddresses::Mismatch> SettlementAddresses::mismatches(
    const QString& settlement, const QString& county, const QString& postalCode) const {
    QList<Mismatch> found;
    const auto settlementCounty = countyOf_.constFind(settlement);
    if (settlementCounty == countyOf_.constEnd())
        return found;
    if (!county.isEmpty() && county != *settlementCounty) {
        found.append({QStringLiteral("Sz_megyekod"),
                      QStringLiteral("A(z) %1 kódú település megyéje %2 (%3), nem %4 (%5)!")
                          .arg(settlement, *settlementCounty, countyNames_.value(*settlementCounty),
                               county, countyNames_.value(county))});
    }
    const QStringList codes = postalCodesOf_.value(settlement);
    if (!postalCode.isEmpty() && !codes.contains(postalCode)) {
        found.append({QStringLiteral("Irsz"),
                      QStringLiteral("A(z) %1 irányítószám nem a(z) %2 kódú településé; annak "
                                     "irányítószámai: %3!")
                          .arg(postalCode, settlement, codesText(codes))});
    }
    return found;
}

}  // namespace toolsmenu
