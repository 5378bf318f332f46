#pragma once

#include "data_fields.h"
#include "provider_report.h"

#include <string>

// The fixed-width institution and purchase data files.
namespace exporting {

// The bytes of the provider's data files, for a report whose values all fit their fields.
std::string institutionDataFile(const ProviderReport& report);
std::string purchaseDataFile(const ProviderReport& report);
// The bytes of the data-file lines of the rows, CR LF included.
inline size_t dataFileSize(const RowValues& values) {
    return values.rows() == 0 ? 0 : values.rows() * (values.line(0).size() + 2);
}

}  // namespace exporting
