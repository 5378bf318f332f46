#pragma once

#include "data_fields.h"
#include "platform/codepage.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

// The values of rows read from the database, row after row in the order of their columns: each
// value whole in Windows-1250, as the report files take it, and the text of one that is not ASCII
// in UTF-8 as well, as the database holds it. All are kept in one buffer: a run reads 100,000
// items, whose values one by one would cost more than writing them.
class RowValues {
public:
    explicit RowValues(size_t columns) : columns_(columns) {}

    // Room for the rows and their values' bytes.
    void reserve(size_t rows, size_t bytes) {
        values_.reserve(rows * columns_);
        bytes_.reserve(bytes);
    }
    // The next value of the row being added, in UTF-8; a row is complete with its last column's.
    // Gives the value's size in Windows-1250. Inline: it runs for every value read.
    size_t add(std::string_view utf8) {
        Value& value = values_.emplace_back();
        value.at = offset();
        if (platform::isAscii(utf8)) {
            bytes_ += utf8;
            value.utf8At = value.at;
            value.size = static_cast<std::uint32_t>(utf8.size());
        } else {
            platform::appendWindows1250(bytes_, utf8);
            value.utf8At = offset();
            value.size = value.utf8At - value.at;
            bytes_ += utf8;
        }
        value.utf8Size = static_cast<std::uint32_t>(utf8.size());
        return value.size;
    }

    size_t rows() const { return values_.size() / columns_; }
    std::string_view value(size_t row, int column) const {
        const Value& value = at(row, column);
        return {bytes_.data() + value.at, value.size};
    }
    std::string_view utf8(size_t row, int column) const {
        const Value& value = at(row, column);
        return {bytes_.data() + value.utf8At, value.utf8Size};
    }
    QString text(size_t row, int column) const {
        const std::string_view bytes = utf8(row, column);
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    // The bytes of the row's values in Windows-1250.
    size_t rowSize(size_t row) const {
        size_t size = 0;
        for (size_t column = 0; column < columns_; ++column)
            size += values_[row * columns_ + column].size;
        return size;
    }

private:
    struct Value {
        std::uint32_t at = 0;
        std::uint32_t utf8At = 0;  // at, when the value is ASCII
        std::uint32_t size = 0;
        std::uint32_t utf8Size = 0;
    };

    std::uint32_t offset() const { return static_cast<std::uint32_t>(bytes_.size()); }

    const Value& at(size_t row, int column) const {
        return values_[row * columns_ + static_cast<size_t>(column)];
    }

    size_t columns_;
    std::string bytes_;
    std::vector<Value> values_;
};

// The items' prices, which the report keeps as numbers as well.
inline constexpr std::array<int, 2> kPriceFields{purchaseField("Tegysegar"),
                                                 purchaseField("Bazisegysegar")};

// One data provider's report of a period as the save run read it, everything its files are made
// of.
struct ProviderReport {
    QString adosajat;
    QString year;
    QString quarter;
    // The institution record: one row of kInstitutionFields.
    RowValues record{kInstitutionFields.size()};
    int itemCount = 0;
    // The purchase items: rows of kPurchaseFields.
    RowValues items{kPurchaseFields.size()};
    // Each item's prices (kPriceFields) when the database holds them as finite numbers.
    std::vector<std::array<std::optional<double>, 2>> prices;
    // Of each value that does not fit its field: where it is, its column and why.
    QStringList misfits;

    QString text(int field) const { return record.text(0, field); }
};

}  // namespace exporting
