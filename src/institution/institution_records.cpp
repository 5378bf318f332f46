#include "institution_records.h"

#include "db/query.h"
#include "db/values.h"

namespace institution {

namespace {

// The year is compared as a number, as it is stored.
QVariantList keyValues(const ReportKey& key) {
    return {key.adosajat, db::valueFromText(key.year, db::ValueKind::Integer), key.quarter};
}

// The sector table of each code length.
QString sectorTable(qsizetype length) {
    switch (length) {
        case 2:
            return QStringLiteral("torzs_AH_AG");
        case 3:
            return QStringLiteral("torzs_AH_AGAZAT");
        case 4:
            return QStringLiteral("torzs_AH_SZAKAGAZAT");
        default:
            return {};
    }
}

QString nameOrNotFound(const QString& table, const QString& code, const QString& notFound) {
    if (table.isEmpty())
        return notFound;
    db::Query query(QStringLiteral("select nev from %1 where id = ?").arg(db::quoteName(table)),
                    {code});
    return query.rowCount() == 0 ? notFound : query.text(QStringLiteral("nev"));
}

}  // namespace

int countRecords(const ReportKey& key) {
    db::Query query(QStringLiteral("select count(1) as db from AdatlapInt where adosajat = ? "
                                   "and adatszolgev = ? and adatszolgnegyedev = ?"),
                    keyValues(key));
    return query.text(QStringLiteral("db")).toInt();
}

bool keyTaken(const ReportKey& key, const std::optional<ReportKey>& own) {
    return countRecords(key) > (own == key ? 1 : 0);
}

QList<ReportKey> repeatedKeys(const std::optional<std::pair<QString, QString>>& period) {
    QList<ReportKey> keys;
    const QString where =
        period ? QStringLiteral("where Adatszolgev = ? and Adatszolgnegyedev = ? ") : QString();
    const QVariantList values =
        period ? QVariantList{period->first, period->second} : QVariantList{};
    for (db::Query query(QStringLiteral("select Adosajat, Adatszolgev, Adatszolgnegyedev from "
                                        "AdatlapInt %1group by 1, 2, 3 having count(*) > 1 "
                                        "order by 2, 3, 1")
                             .arg(where),
                         values);
         !query.eof(); query.next())
        keys.append({query.text(0), query.text(1), query.text(2)});
    return keys;
}

QString repeatedKeysText(const QList<ReportKey>& keys) {
    if (keys.isEmpty())
        return {};
    QStringList named;
    for (const ReportKey& key : keys)
        named.append(QStringLiteral("%1 %2/%3").arg(key.adosajat, key.year, key.quarter));
    return QStringLiteral(
               "Ugyanazzal az adószám, év, negyedév hármassal több adatlap is van: %1. "
               "Egy hármashoz csak egy adatlap tartozhat; az Adatszolgáltató "
               "intézmény ablakban javítsa ki vagy törölje a fölöslegeset! Amíg így "
               "marad, az érintett negyedév nem menthető.")
        .arg(named.join(QStringLiteral(", ")));
}

bool hasPurchaseItems(const ReportKey& key) {
    db::Query query(QStringLiteral("select adosajat from AdatlapBR where adosajat = ? "
                                   "and beszerzev = ? and beszerznegyedev = ?"),
                    keyValues(key));
    return query.rowCount() > 0;
}

void moveItemsToKey(const ReportKey& from, const ReportKey& to) {
    db::execute(QStringLiteral("update AdatlapBR set adosajat = ?, beszerzev = ?, "
                               "beszerznegyedev = ? where adosajat = ? and beszerzev = ? "
                               "and beszerznegyedev = ?"),
                keyValues(to) + keyValues(from));
}

QString settlementName(const QString& code) {
    if (code.size() <= 1)
        return {};
    return nameOrNotFound(QStringLiteral("torzs_kshtelepules"), code, kNoSuchSettlement);
}

QStringList settlementPostalCodes(const QString& code) {
    QStringList codes;
    for (db::Query query(QStringLiteral("select irsz from Torzs_TELEPULESIRSZ where telepules = ? "
                                        "order by irsz"),
                         {code});
         !query.eof(); query.next())
        codes.append(query.text(0));
    return codes;
}

QString sectorName(const QString& code) {
    if (code.size() <= 1)
        return {};
    return nameOrNotFound(sectorTable(code.size()), code, kNoSuchSector);
}

}  // namespace institution
