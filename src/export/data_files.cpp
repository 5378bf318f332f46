#include "data_files.h"

namespace exporting {

namespace {

std::string dataFileLines(const RowValues& values) {
    std::string lines;
    if (values.rows() > 0)
        lines.reserve(values.rows() * (values.line(0).size() + 2));
    for (size_t row = 0; row < values.rows(); ++row) {
        lines += values.line(row);
        lines += "\r\n";
    }
    return lines;
}

}  // namespace

std::string institutionDataFile(const ProviderReport& report) {
    return dataFileLines(report.record);
}

std::string purchaseDataFile(const ProviderReport& report) {
    return dataFileLines(report.items);
}

}  // namespace exporting
