#include "purchase_listing.h"

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

QString titleLine() {
    QStringList titles;
    for (const auto& column : kListingColumns)
        titles.append(QString::fromUtf16(column.title));
    return titles.join(u'\t');
}

// A price as the listing shows it: its text as the data file has it, read back as a number,
// written with two decimals, the report's decimal separator and no grouping. A missing price shows
// nothing.
void appendReadBack(std::string& out, std::optional<double> stored, const QString& text,
                    QChar separator) {
    if (const std::optional<double> number = listedPrice(stored, text))
        out += platform::toWindows1250(
                   db::twoDecimalsText(*number).replace(platform::decimalSeparator(), separator))
                   .toStdString();
}

// The item lines of one listing. Items mostly share their codes with the item before, whose
// names are kept.
class ItemLines {
public:
    explicit ItemLines(const ListingNames& names)
        : names_(names), separator_(names.decimalSeparator()) {}

    // Appends the line of the report's item; an item whose unit, source, area of use or price
    // type has no row in its code table is left out of the listing.
    void add(std::string& lines, const ProviderReport& report, size_t item);

private:
    std::optional<size_t> shortDecimals(std::string_view text) const;

    const ListingNames& names_;
    const std::string& separator_;
    std::array<const std::string*, 4> found_{};
    std::array<std::string, 4> foundCodes_;
    // The item's prices: their decimals when their text needs only filling up, else the text.
    std::array<std::optional<size_t>, 2> decimals_;
    std::array<std::string, 2> prices_;
};

void ItemLines::add(std::string& lines, const ProviderReport& report, size_t item) {
    const RowValues& values = report.items;
    size_t namesSize = 0;
    for (size_t i = 0; i < kNamedCodes.size(); ++i) {
        // A missing code (NULL) matches no row.
        const std::string_view code = values.utf8(item, kNamedCodes[i].first);
        if (!found_[i] || code != foundCodes_[i]) {
            found_[i] = code.empty() ? nullptr : names_.find(i, code);
            if (!found_[i])
                return;
            foundCodes_[i] = code;
        }
        namesSize += found_[i]->size();
    }
    size_t pricesSize = 0;
    for (size_t i = 0; i < kPriceFields.size(); ++i) {
        decimals_[i] = shortDecimals(values.value(item, kPriceFields[i]));
        prices_[i].clear();
        if (!decimals_[i])
            appendReadBack(prices_[i], report.prices[item][i], values.text(item, kPriceFields[i]),
                           QChar::fromLatin1(separator_.front()));
        pricesSize += prices_[i].size() + separator_.size() + 2;
    }
    // Room for every value of the row, the names, the prices, the quotes, the tabs and CR LF.
    const size_t start = lines.size();
    lines.resize(start + values.rowSize(item) + namesSize + pricesSize +
                 3 * kListingColumns.size() + 2);
    char* to = lines.data() + start;
    const auto put = [&to](std::string_view bytes) {
        to = std::copy(bytes.begin(), bytes.end(), to);
    };
    size_t named = 0;
    size_t priced = 0;
    for (const ListingColumn& column : kListingColumns) {
        switch (column.written) {
            case Written::Quoted:
                *to++ = '\'';
                put(values.value(item, column.position));
                *to++ = '\'';
                break;
            case Written::TwoDecimals:
                // A text of whole digits with at most two decimals reads back as exactly those,
                // so its decimals are only filled up.
                if (const std::optional<size_t> decimals = decimals_[priced]) {
                    put(values.value(item, column.position));
                    if (*decimals == 0)
                        put(separator_);
                    to = std::fill_n(to, 2 - std::min<size_t>(*decimals, 2), '0');
                } else {
                    put(prices_[priced]);
                }
                ++priced;
                break;
            case Written::Plain:
                put(values.value(item, column.position));
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

// How many decimals the text has when it is an optional minus, whole digits and at most two
// decimals after the separator, few enough digits for a double to hold them exactly.
std::optional<size_t> ItemLines::shortDecimals(std::string_view text) const {
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

}  // namespace

// A double is read back from its digits; anything else, or digits that do not read back, goes
// through the value conversion, which refuses what is no number.
std::optional<double> listedPrice(std::optional<double> stored, const QString& text) {
    if (stored) {
        char digits[32];
        const std::string_view written = db::floatDigits(*stored, digits);
        double read = 0;
        if (std::from_chars(written.data(), written.data() + written.size(), read).ec ==
            std::errc())
            return read;
    }
    const QVariant converted = db::valueFromText(text, db::ValueKind::Real);
    if (converted.isNull())
        return std::nullopt;
    return converted.toDouble();
}

// The separator is read once for the run, as its report files' values are.
ListingNames::ListingNames()
    : separator_(
          platform::toWindows1250(QString(platform::reportDecimalSeparator())).toStdString()) {
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

const std::string* ListingNames::find(size_t table, std::string_view code) const {
    const auto found = names_[table].find(code);
    return found == names_[table].end() ? nullptr : &found->second;
}

QStringList listingHeading(const ProviderReport& report) {
    return {QStringLiteral("Árinformációs adatjelentés, beszerzési adatok listája"),
            QString(),
            QStringLiteral("Intézet neve: ") + report.text(institutionField("Intnev")),
            QStringLiteral("adószám: ") + report.text(institutionField("Adosajat")),
            QStringLiteral("Beszerzési időszak (év, negyedév): %1, %2")
                .arg(report.text(institutionField("Adatszolgev")),
                     report.text(institutionField("Adatszolgnegyedev"))),
            QString(),
            QString()};
}

std::string purchaseListing(const ProviderReport& report, const ListingNames& names) {
    static const QString titles = titleLine();
    const QString heading =
        (listingHeading(report) << titles).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    std::string listing = platform::toWindows1250(heading).toStdString();
    ItemLines lines(names);
    for (size_t item = 0; item < report.items.rows(); ++item)
        lines.add(listing, report, item);
    return listing;
}

}  // namespace exporting
