#pragma once

#include "data_fields.h"
#include "db/row_reader.h"
#include "platform/file_queue.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// What the save run and its writers share.
namespace exporting {

// The working folders the save run writes into, relative to the program's working folder. They
// must exist: the run creates none.
inline const QString kTextFolder = QStringLiteral("text/");
inline const QString kListingFolder = QStringLiteral("Listak/");
inline const QString kCoverNoteFolder = QStringLiteral("kuldes/temp/");

// The data provider's institution record of the period: registration number, year, quarter.
inline const QString kProviderRow = QStringLiteral(
    "select * from adatlapInt where adosajat = ? and adatszolgev = ? and adatszolgnegyedev = ?");
// The number of the provider's purchase items in the period, as the column bs.
inline const QString kItemCount = QStringLiteral(
    "select count(1) as bs from adatlapBR where adosajat = ? and beszerzev = ? "
    "and beszerznegyedev = ?");
// The provider's purchase items, whole.
extern const QString kPurchaseRows;

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

// The item lines of a purchase listing, in Windows-1250 with CR LF, built from the rows of
// kPurchaseRows. The names it shows beside the unit, source, area-of-use and price-type codes are
// read once, when it is made: the small code tables are looked up while the items stream rather
// than joined for every data provider.
class ListingItems {
public:
    ListingItems();

    void clear() { lines_.clear(); }
    // The line of the row's item, whose values are read; an item whose unit, source, area of use
    // or price type has no row in its code table is left out of the listing.
    void add(const FixedWidthRow& values, db::RowReader& row);
    const std::string& lines() const { return lines_; }

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
    std::string lines_;
};

// The statements of one save run. Each is prepared when it first runs, where a statement the
// database rejects stops the run, and is run again for every data provider until the run ends.
struct RunStatements {
    db::RowReader providerRow{kProviderRow};
    db::RowReader itemCount{kItemCount};
    db::RowReader purchaseRows{kPurchaseRows};
};

// Deletes the named entries of the folder; returns the names of those that could not be deleted.
// A folder, a file marked read-only, a file open in a spreadsheet program and one the system
// refuses to delete (immutable, on a share that holds it) stay.
QStringList deleteEntries(const QString& folder, const QStringList& names);

// Every entry of the folder (files of any attributes, folders) that the wildcard pattern finds,
// matching without regard to case.
QStringList entriesOf(const QString& folder, const QString& pattern = QStringLiteral("*"));

// A file the send run, the copy and the cover-note printing take: a data file or a cover note.
inline bool isReportFile(const QString& name) {
    for (const char* kind : {"_BI.txt", "_BR.txt", "_KJ.txt"}) {
        if (name.endsWith(QLatin1StringView(kind), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// The log text for a file of an earlier run that cannot be deleted.
inline QString notDeletable(const QString& name) {
    return name + QStringLiteral(" file nem törölhető!");
}

}  // namespace exporting
