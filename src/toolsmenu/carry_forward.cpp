#include "carry_forward.h"

#include "db/connection.h"
#include "db/query.h"
#include "db/values.h"

namespace toolsmenu {

namespace {

// Every column of a data-provider record but its key, and of a purchase item but its key and
// month; the copies take these over unchanged.
const QString kRecordColumns = QStringLiteral(
    "Intnev, Sz_megyekod, Sz_telepuleskod, Irsz, Telepules, Utca, Hsz, Intag, Gazdfor, "
    "I_ANTSZkod, Toltnev, Toltmail, Tolttel, Vezetonev, Vezetomail, Vezetotel");
const QString kItemColumns = QStringLiteral(
    "Tetelsorszam, Termekszolg, Vtszszolgkod, Termitj, Vtszszolg, Termszolgnev, "
    "Mennyisegiegyseg, Vasaroltmenny, Beszerzforras, Felhasznter, Artipus, Tegysegar, "
    "Bazisegysegar");

QVariant yearValue(const QString& year) {
    return db::valueFromText(year, db::ValueKind::Integer);
}

QVariantList keyValues(const institution::ReportKey& key) {
    return {key.adosajat, yearValue(key.year), key.quarter};
}

// The months of a quarter in calendar order, as the month code table lists them.
QStringList monthsOf(const QString& quarter) {
    QStringList months;
    for (db::Query query(QStringLiteral("select id from Torzs_ho where negyedev = ? order by id"),
                         {quarter});
         !query.eof(); query.next())
        months.append(query.text(0));
    return months;
}

void copyRecord(const institution::ReportKey& from, const institution::ReportKey& to) {
    db::execute(QStringLiteral("insert into AdatlapInt (Adosajat, Adatszolgev, Adatszolgnegyedev, "
                               "%1) select ?, ?, ?, %1 from AdatlapInt where adosajat = ? and "
                               "adatszolgev = ? and adatszolgnegyedev = ?")
                    .arg(kRecordColumns),
                keyValues(to) + keyValues(from));
}

// Copies the items month by month, each month to the one at its place in the new quarter.
int copyItems(const institution::ReportKey& from, const institution::ReportKey& to) {
    const QStringList fromMonths = monthsOf(from.quarter);
    const QStringList toMonths = monthsOf(to.quarter);
    int copied = 0;
    for (qsizetype place = 0; place < std::min(fromMonths.size(), toMonths.size()); ++place) {
        copied += db::execute(
            QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, Beszerznegyedev, "
                           "Beszerzho, %1) select ?, ?, ?, ?, %1 from AdatlapBR where "
                           "adosajat = ? and beszerzev = ? and beszerznegyedev = ? and "
                           "beszerzho = ?")
                .arg(kItemColumns),
            keyValues(to) + QVariantList{toMonths.at(place)} + keyValues(from) +
                QVariantList{fromMonths.at(place)});
    }
    return copied;
}

int itemCount(const institution::ReportKey& key) {
    db::Query query(QStringLiteral("select count(1) from AdatlapBR where adosajat = ? and "
                                   "beszerzev = ? and beszerznegyedev = ?"),
                    keyValues(key));
    return query.text(0).toInt();
}

}  // namespace

institution::ReportKey nextQuarter(const institution::ReportKey& key) {
    if (key.quarter == u"4")
        return {key.adosajat, QString::number(key.year.toInt() + 1), QStringLiteral("1")};
    return {key.adosajat, key.year, QString::number(key.quarter.toInt() + 1)};
}

Carried carryForward(const institution::ReportKey& from) {
    if (institution::countRecords(from) == 0)
        throw CarryRefused(QStringLiteral("Nincs ilyen adatlap: %1 %2/%3")
                               .arg(from.adosajat, from.year, from.quarter));
    const Carried carried{nextQuarter(from), itemCount(from)};
    // Items already filed under the new key (without their record) would clash with the copies'
    // numbers, so they refuse the carry as a record would.
    if (institution::countRecords(carried.key) > 0 || itemCount(carried.key) > 0)
        throw CarryRefused(institution::kDuplicateKey);
    db::inTransaction([&] {
        copyRecord(from, carried.key);
        if (copyItems(from, carried.key) != carried.items)
            throw CarryRefused(QStringLiteral(
                "Van olyan beszerzési tétel, amelynek hónapja nem a negyedév hónapja; "
                "javítsa a Beszerzés ablakban, és próbálja újra!"));
    });
    return carried;
}

}  // namespace toolsmenu
