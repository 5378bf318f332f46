#include "provider_reader.h"

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

ProviderReader::ProviderReader()
    : providerRow_(kProviderRow), itemCount_(kItemCount), purchaseRows_(kPurchaseRows) {}

bool ProviderReader::readRecord(ProviderReport& report) {
    providerRow_.run(keyOf(report));
    const bool found = providerRow_.next();
    values_.read(providerRow_, kInstitutionFields);
    if (const std::string* line = values_.line())
        report.institutionLine = *line;
    else
        addMisfits(report, providerRow_, kInstitutionFields, values_.misfits(),
                   report.adosajat + QStringLiteral(", adatlap"));
    // The record is read with "select *", in the order of its data file's fields.
    report.record.clear();
    for (int i = 0; i < static_cast<int>(kInstitutionFields.size()); ++i)
        report.record.append(providerRow_.text(i));
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
    if (listing_)
        report.listedItems.emplace();
    if (report.itemCount == 0)
        return;
    report.itemLines.reserve(static_cast<size_t>(report.itemCount) * (kPurchaseLineWidth + 2));
    purchaseRows_.run(keyOf(report));
    for (int number = 1; purchaseRows_.next(); ++number) {
        itemRead(number);
        values_.read(purchaseRows_, kPurchaseFields);
        if (listing_)
            listing_->add(*report.listedItems, values_, purchaseRows_);
        if (const std::string* line = values_.line()) {
            report.itemLines += *line;
            report.itemLines += "\r\n";
        } else {
            addMisfits(report, purchaseRows_, kPurchaseFields, values_.misfits(),
                       QStringLiteral("%1, %2. tétel")
                           .arg(report.adosajat, purchaseRows_.text(u"Tetelsorszam")));
        }
    }
}

void ProviderReader::readListedItems(ProviderReport& report) {
    if (report.listedItems)
        return;
    if (!listing_)
        listing_.emplace();
    std::string& lines = report.listedItems.emplace();
    purchaseRows_.run(keyOf(report));
    while (purchaseRows_.next()) {
        values_.read(purchaseRows_, kPurchaseFields);
        listing_->add(lines, values_, purchaseRows_);
    }
}

void ProviderReader::addMisfits(ProviderReport& report, db::RowReader& row,
                                std::span<const DataField> fields,
                                const std::vector<int>& positions, const QString& where) {
    for (const int position : positions) {
        const DataField& field = fields[static_cast<size_t>(position)];
        report.misfits.append(QStringLiteral("%1, %2: %3")
                                  .arg(where, QString::fromLatin1(field.column),
                                       notFittingMessage(field, row.text(position))));
    }
}

}  // namespace exporting
