#pragma once

#include "data_fields.h"
#include "provider_report.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace db {
class RowReader;
}

// The fixed-width institution and purchase data files.
namespace exporting {

// The values of a row in Windows-1250, converted once and laid out in the fixed-width fields of
// its data-file line, each value at hand whole as well for the other lines built from the row.
class FixedWidthRow {
public:
    // The current row's values, one for each field.
    void read(db::RowReader& row, std::span<const DataField> fields);
    // The data-file line; nothing when a value does not fit its field, and the positions of those
    // values are then in misfits().
    const std::string* line() const { return misfits_.empty() ? &line_ : nullptr; }
    const std::vector<int>& misfits() const { return misfits_; }

    std::string_view value(int column) const {
        const Value& value = values_[static_cast<size_t>(column)];
        return std::string_view(value.inLine ? line_ : whole_).substr(value.at, value.size);
    }
    // The bytes of all the values.
    size_t size() const { return size_; }
    // Whether the value is ASCII text, whose bytes are its UTF-8 as well.
    bool isAscii(int column) const { return values_[static_cast<size_t>(column)].ascii; }

private:
    struct Value {
        bool inLine = true;  // in its field, or in whole_ when the field holds a part or nothing
        bool ascii = true;
        size_t at = 0;
        size_t size = 0;
    };

    std::string line_;
    std::string whole_;
    std::string converted_;
    std::array<Value, 20> values_{};
    std::vector<int> misfits_;
    size_t size_ = 0;
};

// The bytes of the provider's data files, for a report whose values all fit their fields.
std::string institutionDataFile(const ProviderReport& report);
std::string_view purchaseDataFile(const ProviderReport& report);

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
