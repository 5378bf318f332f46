#pragma once

#include "data_fields.h"
#include "provider_report.h"

#include <QByteArray>

#include <algorithm>
#include <string>
#include <string_view>

// The fixed-width institution and purchase data files.
namespace exporting {

// The bytes of the provider's data files, for a report whose values all fit their fields.
std::string institutionDataFile(const ProviderReport& report);
std::string purchaseDataFile(const ProviderReport& report);

// A value (in Windows-1250, one byte per character) fitted to its field: cut to the width, or
// filled with blanks after it (left-aligned) or before it (right-aligned).
QByteArray PadField(const QByteArray& value, int width, bool leftAligned);
// The same written into a field of width blanks.
// Inline: it runs for every value written.
inline void PadField(char* field, std::string_view value, int width, bool leftAligned) {
    const size_t length = std::min(value.size(), static_cast<size_t>(width));
    std::copy_n(value.data(), length, field + (leftAligned ? 0 : width - static_cast<int>(length)));
}

}  // namespace exporting
