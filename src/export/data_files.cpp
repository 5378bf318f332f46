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

namespace {

// Builds fixed-width lines in Windows-1250 from rows, reusing its room from line to line.
class FixedWidthLines {
public:
    // The line of the values; nothing when a value does not fit its field, and the positions of
    // those values are then in misfits().
    template <std::size_t N>
    const std::string* of(const EncodedRow& values, const std::array<DataField, N>& fields) {
        int width = 0;
        for (const DataField& field : fields)
            width += field.width;
        line_.assign(static_cast<size_t>(width), ' ');
        misfits_.clear();
        char* at = line_.data();
        for (std::size_t i = 0; i < N; ++i) {
            const std::string_view value = values.value(static_cast<int>(i));
            if (fitsField(fields[i], static_cast<qsizetype>(value.size())))
                PadField(at, value, fields[i].width, fields[i].leftAligned);
            else
                misfits_.push_back(static_cast<int>(i));
            at += fields[i].width;
        }
        return misfits_.empty() ? &line_ : nullptr;
    }

    const std::vector<int>& misfits() const { return misfits_; }

private:
    std::string line_;
    std::vector<int> misfits_;
};

}  // namespace

const QString kPurchaseRows = QStringLiteral(
    "select * from adatlapBR where adosajat = ? and beszerzev = ? and beszerznegyedev = ?");

QByteArray PadField(const QByteArray& value, int width, bool leftAligned) {
    QByteArray field(width, ' ');
    PadField(field.data(), value, width, leftAligned);
    return field;
}

void PadField(char* field, QByteArrayView value, int width, bool leftAligned) {
    const qsizetype length = std::min<qsizetype>(value.size(), width);
    std::copy_n(value.data(), length, field + (leftAligned ? 0 : width - length));
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
    EncodedRow values;
    values.read(row, static_cast<int>(kInstitutionFields.size()));
    FixedWidthLines lines;
    if (const std::string* line = lines.of(values, kInstitutionFields))
        institutionFile_->writeEncodedLine(*line);
    else
        logMisfits(row, lines.misfits(), kInstitutionFields,
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
    db::RowReader& rows = statements().purchaseRows;
    rows.run(key);
    // Once the code names are read, the listing's lines are built from the same rows.
    listingKey_.clear();
    if (listingItems_)
        listingItems_->clear();
    EncodedRow values;
    FixedWidthLines lines;
    for (int number = 1; rows.next(); ++number) {
        showProgress(number);
        values.read(rows, static_cast<int>(kPurchaseFields.size()));
        if (listingItems_)
            listingItems_->add(values, rows);
        if (const std::string* line = lines.of(values, kPurchaseFields))
            purchaseFile_->writeEncodedLine(*line);
        else
            logMisfits(rows, lines.misfits(), kPurchaseFields,
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
