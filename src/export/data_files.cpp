// The fixed-width institution and purchase data files.

#include "common.h"
#include "data_fields.h"
#include "platform/codepage.h"
#include "save_run.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace exporting {

void FixedWidthRow::read(db::RowReader& row, std::span<const DataField> fields) {
    int width = 0;
    for (const DataField& field : fields)
        width += field.width;
    line_.assign(static_cast<size_t>(width), ' ');
    whole_.clear();
    misfits_.clear();
    size_ = 0;
    size_t at = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        const DataField& field = fields[i];
        std::string_view encoded = row.utf8(static_cast<int>(i));
        Value& value = values_[i];
        value.ascii = platform::isAscii(encoded);
        if (!value.ascii) {
            converted_.clear();
            platform::appendWindows1250(converted_, encoded);
            encoded = converted_;
        }
        const auto size = static_cast<qsizetype>(encoded.size());
        value.size = encoded.size();
        value.inLine = size <= field.width;
        if (fitsField(field, size))
            PadField(line_.data() + at, encoded, field.width, field.leftAligned);
        else
            misfits_.push_back(static_cast<int>(i));
        if (value.inLine) {
            value.at = at + (field.leftAligned ? 0 : static_cast<size_t>(field.width) - value.size);
        } else {
            value.at = whole_.size();
            whole_ += encoded;
        }
        at += static_cast<size_t>(field.width);
        size_ += value.size;
    }
}

const QString kPurchaseRows = QStringLiteral(
    "select * from adatlapBR where adosajat = ? and beszerzev = ? and beszerznegyedev = ?");

QByteArray PadField(const QByteArray& value, int width, bool leftAligned) {
    QByteArray field(width, ' ');
    PadField(field.data(), std::string_view(value.constData(), static_cast<size_t>(value.size())),
             width, leftAligned);
    return field;
}

void SaveRun::WriteInstitutionFile(const QString& adosajat, const QString& year,
                                   const QString& quarter) {
    db::RowReader& row = statements().providerRow;
    const QVariantList key{adosajat, year, quarter};
    row.run(key);
    const QString name = reportFileName(adosajat, year, quarter, QStringLiteral("BI"));
    showStep(row.next() ? 1 : 0, name);
    showProgress(1);
    institutionFile_.emplace(kTextFolder + name, files_.get());
    FixedWidthRow values;
    values.read(row, kInstitutionFields);
    if (const std::string* line = values.line())
        institutionFile_->writeEncodedLine(*line);
    else
        logMisfits(row, values.misfits(), kInstitutionFields,
                   adosajat + QStringLiteral(", adatlap"));
    rememberRecord(key, row);
    row.close();
}

void SaveRun::WritePurchaseFile(const QString& adosajat, const QString& year,
                                const QString& quarter) {
    const QVariantList key{adosajat, year, quarter};
    const int count = itemCount(key).toInt();
    const QString name = reportFileName(adosajat, year, quarter, QStringLiteral("BR"));
    showStep(count, name);
    if (count == 0)
        return;
    purchaseFile_.emplace(kTextFolder + name, files_.get());
    purchaseFile_->reserve(static_cast<size_t>(count) * (kPurchaseLineWidth + 2));
    db::RowReader& rows = statements().purchaseRows;
    rows.run(key);
    // Once the code names are read, the listing's lines are built from the same rows.
    listingKey_.clear();
    if (listingItems_)
        listingItems_->clear();
    FixedWidthRow values;
    for (int number = 1; rows.next(); ++number) {
        showProgress(number);
        values.read(rows, kPurchaseFields);
        if (listingItems_)
            listingItems_->add(values, rows);
        if (const std::string* line = values.line())
            purchaseFile_->writeEncodedLine(*line);
        else
            logMisfits(rows, values.misfits(), kPurchaseFields,
                       QStringLiteral("%1, %2. tétel").arg(adosajat, rows.text(u"Tetelsorszam")));
    }
    if (listingItems_)
        listingKey_ = key;
}

void SaveRun::logMisfits(db::RowReader& row, const std::vector<int>& positions,
                         std::span<const DataField> fields, const QString& where) {
    for (const int position : positions) {
        const DataField& field = fields[static_cast<size_t>(position)];
        LogLine(QStringLiteral("%1, %2: %3")
                    .arg(where, QString::fromLatin1(field.column),
                         notFittingMessage(field, row.text(position))),
                true);
    }
    valueDoesNotFit_ = true;
}

}  // namespace exporting
