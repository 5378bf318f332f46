#pragma once

#include "data_fields.h"
#include "platform/codepage.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

// The values of rows read from the database, in Windows-1250: each row laid out in the fixed-width
// fields of its data-file line, each value at hand whole as well, and the text of one that is not
// ASCII in UTF-8 as the database holds it. All are kept in one buffer, row after row, rather than
// a string for each of the 100,000 items' values a run reads.
class RowValues {
public:
    explicit RowValues(std::span<const DataField> fields)
        : fields_(fields), column_(fields.size()) {
        for (const DataField& field : fields)
            width_ += static_cast<std::uint32_t>(field.width);
    }

    // Room for the rows and the bytes they hold beside their lines.
    void reserve(size_t rows, size_t extraBytes) {
        values_.reserve(rows * fields_.size());
        lines_.reserve(rows);
        bytes_.reserve(rows * width_ + extraBytes);
    }
    // The next value of the row being added, in UTF-8; a row is complete with its last field's.
    // Gives the value's size in Windows-1250. A value longer than its field fills it with its
    // beginning. Inline: it runs for every value read, most of them ASCII that fits its field.
    size_t add(std::string_view utf8) {
        if (column_ == fields_.size())
            startRow();
        const DataField& field = fields_[column_++];
        const auto width = static_cast<std::uint32_t>(field.width);
        size_t size = utf8.size();
        if (size <= width && platform::isAscii(utf8)) {
            Value& value = values_.emplace_back();
            value.size = value.utf8Size = static_cast<std::uint32_t>(size);
            value.at = value.utf8At =
                fieldAt_ + (field.leftAligned ? 0 : width - static_cast<std::uint32_t>(size));
            std::copy_n(utf8.data(), size, bytes_.data() + value.at);
        } else {
            size = addConverted(field, utf8);
        }
        fieldAt_ += width;
        return size;
    }

    size_t rows() const { return lines_.size(); }
    // The memory the values take.
    size_t memory() const {
        return bytes_.capacity() + values_.capacity() * sizeof(Value) +
               lines_.capacity() * sizeof(std::uint32_t) + converted_.capacity();
    }
    // The row's data-file line, its CR LF left out.
    std::string_view line(size_t row) const { return {bytes_.data() + lines_[row], width_}; }
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
        for (size_t column = 0; column < fields_.size(); ++column)
            size += values_[row * fields_.size() + column].size;
        return size;
    }

private:
    struct Value {
        std::uint32_t at = 0;
        std::uint32_t utf8At = 0;  // at, when the value is ASCII
        std::uint32_t size = 0;
        std::uint32_t utf8Size = 0;
    };

    void startRow();
    // A value that is not ASCII or does not fit its field.
    size_t addConverted(const DataField& field, std::string_view utf8);
    std::uint32_t offset() const { return static_cast<std::uint32_t>(bytes_.size()); }
    const Value& at(size_t row, int column) const {
        return values_[row * fields_.size() + static_cast<size_t>(column)];
    }

    std::span<const DataField> fields_;
    std::uint32_t width_ = 0;
    std::string bytes_;
    std::vector<Value> values_;
    std::vector<std::uint32_t> lines_;  // where each row's line begins
    size_t column_;                     // of the value added last
    std::uint32_t fieldAt_ = 0;         // of the value being added
    std::string converted_;
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
    RowValues record{kInstitutionFields};
    int itemCount = 0;
    // The purchase items: rows of kPurchaseFields.
    RowValues items{kPurchaseFields};
    // Each item's prices (kPriceFields) when the database holds them as finite numbers.
    std::vector<std::array<std::optional<double>, 2>> prices;
    // Of each value that does not fit its field: where it is, its column and why.
    QStringList misfits;

    QString text(int field) const { return record.text(0, field); }
    // The memory the report's values take.
    size_t memory() const {
        return record.memory() + items.memory() + prices.capacity() * sizeof(prices[0]);
    }
};

}  // namespace exporting
