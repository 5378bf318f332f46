#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// The data-provider records and what belongs to them, as the institution editor reads and
// changes them. Values are bound to the statements, so any text (an apostrophe too) is safe.
namespace institution {

// A report key as the editor holds it: each part as text, the year as typed.
struct ReportKey {
    QString adosajat;
    QString year;
    QString quarter;
    friend bool operator==(const ReportKey&, const ReportKey&) = default;
};

// The warning when a report key is taken by another record.
inline const QString kDuplicateKey =
    QStringLiteral("A kért adószám, év, negyedév hármassal már töltött ki adatlapot!!!");
// Shown in place of a name when a code is not found; storing refuses a name beginning so.
inline const QString kNoSuchSettlement = QStringLiteral("Nincs ilyen kódú település!");
inline const QString kNoSuchSector = QStringLiteral("Nincs ilyen kódú szakág!");

// The number of data-provider records filed under the key. A year that is not a whole number is
// a Failure.
int countRecords(const ReportKey& key);

// One data-provider record per report key: whether a record holds the key other than the one
// stored under own (the record being modified, which may keep its key). The editor, the
// carry-forward and the item import ask it; the database's unique index keeps the rule too.
bool keyTaken(const ReportKey& key, const std::optional<ReportKey>& own = std::nullopt);
// The report keys that more than one record holds, as a database written by another tool (or
// made before the index) may have them: all of them, or those of one year and quarter.
QList<ReportKey> repeatedKeys(const std::optional<std::pair<QString, QString>>& period = {});
// What the user is told of them, naming each key; empty when there is none.
QString repeatedKeysText(const QList<ReportKey>& keys);
// Whether purchase items are filed under the key.
bool hasPurchaseItems(const ReportKey& key);
// Files every purchase item of one key under another.
void moveItemsToKey(const ReportKey& from, const ReportKey& to);

// The settlement's name for a code: empty for a code of at most one character, the not-found
// text for an unknown one.
QString settlementName(const QString& code);
// The postal codes of the settlement of a code, in order; none for an unknown code.
QStringList settlementPostalCodes(const QString& code);
// The sector's name for a code of 2, 3 or 4 digits, each length read from its level of the
// sector tree: empty for a code of at most one character, the not-found text for an unknown one.
QString sectorName(const QString& code);

}  // namespace institution
