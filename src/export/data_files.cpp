#include "data_files.h"

#include <span>

namespace exporting {

QByteArray PadField(const QByteArray& value, int width, bool leftAligned) {
    QByteArray field(width, ' ');
    PadField(field.data(), std::string_view(value.constData(), static_cast<size_t>(value.size())),
             width, leftAligned);
    return field;
}

namespace {

// A line of blanks for each row, each value written into its field.
std::string fixedWidthLines(const RowValues& values, std::span<const DataField> fields) {
    size_t width = 0;
    for (const DataField& field : fields)
        width += static_cast<size_t>(field.width);
    std::string lines;
    lines.reserve(values.rows() * (width + 2));
    for (size_t row = 0; row < values.rows(); ++row) {
        size_t at = lines.size();
        lines.append(width, ' ');
        for (size_t column = 0; column < fields.size(); ++column) {
            const DataField& field = fields[column];
            PadField(lines.data() + at, values.value(row, static_cast<int>(column)), field.width,
                     field.leftAligned);
            at += static_cast<size_t>(field.width);
        }
        lines += "\r\n";
    }
    return lines;
}

}  // namespace

std::string institutionDataFile(const ProviderReport& report) {
    return fixedWidthLines(report.record, kInstitutionFields);
}

std::string purchaseDataFile(const ProviderReport& report) {
    return fixedWidthLines(report.items, kPurchaseFields);
}

}  // namespace exporting
