#include "provider_reader.h"

#include "db/query.h"
#include "platform/regional.h"

#include <QVariantList>

namespace exporting {

namespace {

// The data provider's institution record of the period: registration number, year, quarter.
const QString kProviderRow = QStringLiteral(
    "select * from adatlapInt where adosajat = ? and adatszolgev = ? and adatszolgnegyedev = ?");
// The number of the provider's purchase items in the period, as the column bs.
const QString kItemCount = QStringLiteral(
    "select count(1) as bs from adatlapBR where adosajat = ? and beszerzev = ? "
    "and beszerznegyedev = ?");
// The provider's purchase items, whole.
const QString kPurchaseRows = QStringLiteral(
    "select * from adatlapBR where adosajat = ? and beszerzev = ? and beszerznegyedev = ?");

QVariantList keyOf(const ProviderReport& report) {
    return {report.adosajat, report.year, report.quarter};
}

}  // namespace

// The prices are written with the report's decimal separator, whatever the locale.
ProviderReader::ProviderReader()
    : providerRow_(kProviderRow, platform::reportDecimalSeparator()),
      itemCount_(kItemCount),
      purchaseRows_(kPurchaseRows, platform::reportDecimalSeparator()) {}

bool ProviderReader::readRecord(ProviderReport& report) {
    providerRow_.run(keyOf(report));
    const bool found = providerRow_.next();
    // The record is read with "select *", in the order of its data file's fields.
    readRow(report, report.record, providerRow_, kInstitutionFields,
            [&report] { return report.adosajat + QStringLiteral(", adatlap"); });
    providerRow_.close();
    return found;
}

int ProviderReader::countItems(ProviderReport& report) {
    itemCount_.run(keyOf(report));
    itemCount_.next();
    report.itemCount = itemCount_.text(u"bs").toInt();
    itemCount_.close();
    return report.itemCount;
}

void ProviderReader::readItems(ProviderReport& report, const std::function<void(int)>& itemRead) {
    if (report.itemCount == 0)
        return;
    const auto count = static_cast<size_t>(report.itemCount);
    // Beside its line an item mostly holds the UTF-8 of its accented name.
    report.items.reserve(count, count * 64);
    report.prices.reserve(count);
    purchaseRows_.run(keyOf(report));
    for (int number = 1; purchaseRows_.next(); ++number) {
        itemRead(number);
        readRow(report, report.items, purchaseRows_, kPurchaseFields, [&] {
            return QStringLiteral("%1, %2. tétel")
                .arg(report.adosajat, purchaseRows_.text(u"Tetelsorszam"));
        });
        report.prices.push_back(
            {purchaseRows_.real(kPriceFields[0]), purchaseRows_.real(kPriceFields[1])});
    }
}

void ProviderReader::readRow(ProviderReport& report, RowValues& values, db::RowReader& row,
                             std::span<const DataField> fields,
                             const std::function<QString()>& where) {
    for (size_t i = 0; i < fields.size(); ++i) {
        const int column = static_cast<int>(i);
        const std::string_view utf8 = row.utf8(column);
        const size_t size = values.add(utf8);
        const DataField& field = fields[i];
        const auto misfit = [&](const QString& message) {
            report.misfits.append(QStringLiteral("%1, %2: %3")
                                      .arg(where(), QString::fromLatin1(field.column), message));
        };
        if (hasControlCharacter(utf8))
            misfit(controlCharacterMessage());
        else if (!fitsField(field, static_cast<qsizetype>(size)))
            misfit(notFittingMessage(field, row.text(column)));
    }
}

void ProviderReader::readReport(ProviderReport& report, const QString& adosajat,
                                const QString& year, const QString& quarter) {
    report.adosajat = adosajat;
    report.year = year;
    report.quarter = quarter;
    readRecord(report);
    countItems(report);
    readItems(report, [](int) {});
}

QStringList periodProviders(const QString& year, const QString& quarter) {
    QStringList providers;
    for (db::Query rows(QStringLiteral("select ai.adosajat from adatlapInt ai "
                                       "where ai.adatszolgev = ? and ai.adatszolgnegyedev = ?"),
                        {year, quarter});
         !rows.eof(); rows.next())
        providers.append(rows.text(0));
    return providers;
}

}  // namespace exporting
