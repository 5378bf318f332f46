#pragma once

#include "provider_report.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

// The tab-separated purchase listing kept for the institution in Listak/.
namespace exporting {

// How a column of an item line is written. Quoted: between apostrophes; TwoDecimals: read as a
// number, two decimals with the regional separator; Name: the name of the code in the column
// before, from its code table.
enum class Written { Plain, Quoted, TwoDecimals, Name };

struct ListingColumn {
    const char16_t* title;
    Written written;
    int position;  // of the item's column among kPurchaseFields; for a name, of its code
};

// The item columns; an empty title stands above a code's name.
inline constexpr std::array<ListingColumn, 17> kListingColumns{{
    {u"tétel sorszám", Written::Plain, 4},
    {u"termék vagy szolgáltatás kód", Written::Plain, 5},
    {u"kódszám", Written::Plain, 6},
    {u"ITJ", Written::Quoted, 7},
    {u"VTSZ-SZJ", Written::Quoted, 8},
    {u"megnevezés", Written::Plain, 9},
    {u"mértékegység", Written::Quoted, 10},
    {u"", Written::Name, 10},
    {u"vásárolt mennyiség", Written::Plain, 11},
    {u"beszerzési forrás", Written::Plain, 12},
    {u"", Written::Name, 12},
    {u"felhasználási terület", Written::Quoted, 13},
    {u"", Written::Name, 13},
    {u"ártípus", Written::Plain, 14},
    {u"", Written::Name, 14},
    {u"tény egységár (Ft)", Written::TwoDecimals, 15},
    {u"bázis egységár (Ft)", Written::TwoDecimals, 16},
}};

// The code tables whose names the listing shows beside the codes, by the code's position.
inline constexpr std::array<std::pair<int, const char*>, 4> kNamedCodes{{
    {10, "torzs_mennyisegiegyseg"},
    {12, "torzs_beszerzesiforras"},
    {13, "torzs_felhasznter"},
    {14, "torzs_artipus"},
}};

// The names the listing shows beside the unit, source, area-of-use and price-type codes, read
// from their code tables once per run: the small tables are looked up while the items are listed
// rather than joined for every data provider. Only read once made, it may be shared by threads.
class ListingNames {
public:
    ListingNames();

    // The name, in Windows-1250, of the code (UTF-8) in the table of the listing's named codes
    // in that place: unit, source, area of use, price type; nothing when it has no row.
    const std::string* find(size_t table, std::string_view code) const;
    // The report's decimal separator in Windows-1250, which the prices are listed with.
    const std::string& decimalSeparator() const { return separator_; }

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
    std::string separator_;
};

// The number a price of the report stands for in the listing, stored as a double or given as
// text; nothing for a missing price. Text that is no number is a Failure.
std::optional<double> listedPrice(std::optional<double> stored, const QString& text);

// The listing's seven lines above its column titles: the title, the provider and the period.
QStringList listingHeading(const ProviderReport& report);

// The bytes of the provider's listing; an item whose unit, source, area of use or price type has
// no row in its code table is left out of it.
std::string purchaseListing(const ProviderReport& report, const ListingNames& names);

}  // namespace exporting
