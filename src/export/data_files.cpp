#include "data_files.h"

namespace exporting {

namespace {

std::string dataFileLines(const RowValues& values) {
    std::string lines;
    lines.reserve(dataFileSize(values));
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
