#include "provider_report.h"

namespace exporting {

void RowValues::startRow() {
    column_ = 0;
    fieldAt_ = offset();
    lines_.push_back(fieldAt_);
    bytes_.append(width_, ' ');
}

size_t RowValues::addConverted(const DataField& field, std::string_view utf8) {
    std::string_view encoded = utf8;
    if (!platform::isAscii(utf8)) {
        converted_.clear();
        platform::appendWindows1250(converted_, utf8);
        encoded = converted_;
    }
    Value& value = values_.emplace_back();
    value.size = static_cast<std::uint32_t>(encoded.size());
    const auto width = static_cast<std::uint32_t>(field.width);
    if (value.size <= width) {
        value.at = fieldAt_ + (field.leftAligned ? 0 : width - value.size);
    } else {
        value.at = offset();
        bytes_ += encoded;
    }
    PadField(bytes_.data() + fieldAt_, encoded, field.width, field.leftAligned);
    value.utf8At = value.at;
    if (encoded.data() != utf8.data()) {
        value.utf8At = offset();
        bytes_ += utf8;
    }
    value.utf8Size = static_cast<std::uint32_t>(utf8.size());
    return value.size;
}

}  // namespace exporting
