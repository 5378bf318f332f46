#pragma once

#include "provider_report.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace db {
class RowReader;
}

// The tab-separated purchase listing kept for the institution in Listak/.
namespace exporting {

class FixedWidthRow;

// The item lines of a purchase listing, in Windows-1250 with CR LF, built from the rows of the
// provider's purchase items. The names it shows beside the unit, source, area-of-use and
// price-type codes are read once, when it is made: the small code tables are looked up while the
// items stream rather than joined for every data provider.
class ListingItems {
public:
    ListingItems();

    // Appends to lines the line of the row's item, whose values are read; an item whose unit,
    // source, area of use or price type has no row in its code table is left out of the listing.
    void add(std::string& lines, const FixedWidthRow& values, db::RowReader& row);

private:
    void appendReadBack(std::string& out, db::RowReader& row, int position) const;
    std::optional<size_t> shortDecimals(std::string_view text) const;

    // Looks a code's UTF-8 text up without a copy.
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    using Names = std::unordered_map<std::string, std::string, Hash, std::equal_to<>>;
    // The four code tables' names, and those of the item's codes, in the order of the listing.
    std::array<Names, 4> names_;
    std::array<const std::string*, 4> found_{};
    std::array<std::string, 4> foundCodes_;
    // The item's prices: their decimals when their text needs only filling up, else the text.
    std::array<std::optional<size_t>, 2> decimals_;
    std::array<std::string, 2> prices_;
    std::string separator_;
};

// The bytes of the provider's listing, for a report whose listed items were read.
std::string purchaseListing(const ProviderReport& report);

}  // namespace exporting
