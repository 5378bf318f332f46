#include "data_files.h"

#include "db/row_reader.h"
#include "platform/codepage.h"

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

QByteArray PadField(const QByteArray& value, int width, bool leftAligned) {
    QByteArray field(width, ' ');
    PadField(field.data(), std::string_view(value.constData(), static_cast<size_t>(value.size())),
             width, leftAligned);
    return field;
}

std::string institutionDataFile(const ProviderReport& report) {
    return report.institutionLine + "\r\n";
}

std::string_view purchaseDataFile(const ProviderReport& report) {
    return report.itemLines;
}

}  // namespace exporting
