#pragma once

#include "data_fields.h"
#include "provider_report.h"

#include <string>

// The fixed-width institution and purchase data files.
namespace exporting {

// The bytes of the provider's data files, for a report whose values all fit their fields.
std::string institutionDataFile(const ProviderReport& report);
std::string purchaseDataFile(const ProviderReport& report);

}  // namespace exporting
