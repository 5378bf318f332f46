#include "purchase_listing.h"

#include "data_files.h"
#include "db/row_reader.h"
#include "db/values.h"
#include "platform/codepage.h"
#include "platform/regional.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string>

namespace exporting {

namespace {

// Name: the name of the code in the column before, from its code table.
enum class Written { Plain, Quoted, TwoDecimals, Name };

struct ListingColumn {
    const char16_t* title;
    Written written;
    int position;  // of the item's column among kPurchaseFields; for a name, of its code
};

// The item columns; an empty title stands above a code's name.
constexpr std::array<ListingColumn, 17> kColumns{{
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

// The positions of the prices, which the listing shows with two decimals.
constexpr std::array<int, 2> kPricePositions{15, 16};

// The code tables whose names the listing shows beside the codes, by the code's position.
constexpr std::array<std::pair<int, const char*>, 4> kNamedCodes{{
    {10, "torzs_mennyisegiegyseg"},
    {12, "torzs_beszerzesiforras"},
    {13, "torzs_felhasznter"},
    {14, "torzs_artipus"},
}};

QString titleLine() {
    QStringList titles;
    for (const auto& column : kColumns)
        titles.append(QString::fromUtf16(column.title));
    return titles.join(u'\t');
}

}  // namespace

ListingItems::ListingItems()
    : separator_(platform::toWindows1250(QString(platform::decimalSeparator())).toStdString()) {
    for (size_t i = 0; i < kNamedCodes.size(); ++i) {
        db::RowReader rows(QStringLiteral("select id, nevstr from ") +
                           QString::fromLatin1(kNamedCodes[i].second));
        rows.run({});
        while (rows.next()) {
            std::string name;
            platform::appendWindows1250(name, rows.utf8(1));
            names_[i].emplace(rows.utf8(0), std::move(name));
        }
    }
}

void ListingItems::add(std::string& lines, const FixedWidthRow& values, db::RowReader& row) {
    size_t namesSize = 0;
    for (size_t i = 0; i < kNamedCodes.size(); ++i) {
        const int position = kNamedCodes[i].first;
        // A missing code (NULL) matches no row.
        const std::string_view code =
            values.isAscii(position) ? values.value(position) : row.utf8(position);
        // Items mostly share their codes with the item before.
        if (!found_[i] || code != foundCodes_[i]) {
            const auto found = code.empty() ? names_[i].end() : names_[i].find(code);
            if (found == names_[i].end())
                return;
            found_[i] = &found->second;
            foundCodes_[i] = code;
        }
        namesSize += found_[i]->size();
    }
    size_t pricesSize = 0;
    for (size_t i = 0; i < kPricePositions.size(); ++i) {
        decimals_[i] = shortDecimals(values.value(kPricePositions[i]));
        prices_[i].clear();
        if (!decimals_[i])
            appendReadBack(prices_[i], row, kPricePositions[i]);
        pricesSize += prices_[i].size() + separator_.size() + 2;
    }
    // Room for every value of the row, the names, the prices, the quotes, the tabs and CR LF.
    const size_t start = lines.size();
    lines.resize(start + values.size() + namesSize + pricesSize + 3 * kColumns.size() + 2);
    char* to = lines.data() + start;
    const auto put = [&to](std::string_view bytes) {
        to = std::copy(bytes.begin(), bytes.end(), to);
    };
    size_t named = 0;
    size_t priced = 0;
    for (const ListingColumn& column : kColumns) {
        switch (column.written) {
            case Written::Quoted:
                *to++ = '\'';
                put(values.value(column.position));
                *to++ = '\'';
                break;
            case Written::TwoDecimals:
                // A text of whole digits with at most two decimals reads back as exactly those,
                // so its decimals are only filled up.
                if (const std::optional<size_t> decimals = decimals_[priced]) {
                    put(values.value(column.position));
                    if (*decimals == 0)
                        put(separator_);
                    to = std::fill_n(to, 2 - std::min<size_t>(*decimals, 2), '0');
                } else {
                    put(prices_[priced]);
                }
                ++priced;
                break;
            case Written::Plain:
                put(values.value(column.position));
                break;
            case Written::Name:
                put(*found_[named++]);
                break;
        }
        *to++ = '\t';
    }
    *to++ = '\r';
    *to++ = '\n';
    lines.resize(static_cast<size_t>(to - lines.data()));
}

namespace {

// A double is read back from its digits without a QString; anything else, or digits that do not
// read back, goes through the value conversion, which refuses what is no number.
std::optional<double> priceOf(db::RowReader& row, int position) {
    if (const std::optional<double> stored = row.real(position)) {
        char digits[32];
        const std::string_view text = db::floatDigits(*stored, digits);
        double number = 0;
        if (std::from_chars(text.data(), text.data() + text.size(), number).ec == std::errc())
            return number;
    }
    const QVariant number = db::valueFromText(row.text(position), db::ValueKind::Real);
    return number.isNull() ? std::nullopt : std::optional(number.toDouble());
}

}  // namespace

// A price as the listing shows it: its text as the data file has it, read back as a number,
// written with two decimals, the regional separator and no grouping. A missing price shows
// nothing.
void ListingItems::appendReadBack(std::string& out, db::RowReader& row, int position) const {
    if (const std::optional<double> number = priceOf(row, position))
        out += platform::toWindows1250(db::twoDecimalsText(*number)).toStdString();
}

// How many decimals the text has when it is an optional minus, whole digits and at most two
// decimals after the separator, few enough digits for a double to hold them exactly.
std::optional<size_t> ListingItems::shortDecimals(std::string_view text) const {
    const auto isDigit = [&text](size_t at) { return text[at] >= '0' && text[at] <= '9'; };
    size_t at = text.starts_with('-') ? 1 : 0;
    const size_t whole = at;
    while (at < text.size() && isDigit(at))
        ++at;
    if (at == whole || text.size() > 15)
        return std::nullopt;
    if (at == text.size())
        return 0;
    if (text.compare(at, separator_.size(), separator_) != 0)
        return std::nullopt;
    const size_t decimals = text.size() - at - separator_.size();
    for (at += separator_.size(); at < text.size(); ++at) {
        if (!isDigit(at))
            return std::nullopt;
    }
    return decimals >= 1 && decimals <= 2 ? std::optional(decimals) : std::nullopt;
}

std::string purchaseListing(const ProviderReport& report) {
    static const QString titles = titleLine();
    const QString heading =
        QStringLiteral(
            "Árinformációs adatjelentés, beszerzési adatok listája\r\n\r\n"
            "Intézet neve: %1\r\nadószám: %2\r\n"
            "Beszerzési időszak (év, negyedév): %3, %4\r\n\r\n\r\n%5\r\n")
            .arg(report.text(institutionField("Intnev")), report.text(institutionField("Adosajat")),
                 report.text(institutionField("Adatszolgev")),
                 report.text(institutionField("Adatszolgnegyedev")), titles);
    return platform::toWindows1250(heading).toStdString() + *report.listedItems;
}

}  // namespace exporting
