#pragma once

#include "provider_report.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

// The tab-separated purchase listing kept for the institution in Listak/.
namespace exporting {

// The names the listing shows beside the unit, source, area-of-use and price-type codes, read
// from their code tables once per run: the small tables are looked up while the items are listed
// rather than joined for every data provider.
class ListingNames {
public:
    ListingNames();

    // The name, in Windows-1250, of the code (UTF-8) in the table of the listing's named codes
    // in that place: unit, source, area of use, price type; nothing when it has no row.
    const std::string* find(size_t table, std::string_view code) const;

private:
    // Looks a code's UTF-8 text up without a copy.
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    using Names = std::unordered_map<std::string, std::string, Hash, std::equal_to<>>;
    std::array<Names, 4> names_;
};

// The bytes of the provider's listing; an item whose unit, source, area of use or price type has
// no row in its code table is left out of it.
std::string purchaseListing(const ProviderReport& report, const ListingNames& names);

}  // namespace exporting
