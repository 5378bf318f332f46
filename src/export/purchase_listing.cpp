// The tab-separated purchase listing kept for the institution in Listak/.

#include "common.h"
#include "db/values.h"
#include "platform/codepage.h"
#include "platform/regional.h"
#include "save_run.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <string>

namespace exporting {

namespace {

// Name: the name of the code in the column before, from its code table.
enum class Written { Plain, Quoted, TwoDecimals, Name };

struct ListingColumn {
    const char16_t* title;
    Written written;
    int position;  // of the item's column in kPurchaseRows; for a name, of its code
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

CodeNames::CodeNames() {
    for (const auto& [position, table] : kNamedCodes) {
        db::RowReader rows(QStringLiteral("select id, nevstr from ") + QString::fromLatin1(table));
        rows.run({});
        auto& names = byPosition[position];
        while (rows.next())
            names.emplace(rows.utf8(0), rows.utf8(1));
    }
}

namespace {

// Builds the item lines in Windows-1250, reusing its room from line to line: the values are
// joined as UTF-8 and the line converted once.
class ItemLines {
public:
    explicit ItemLines(const CodeNames& names) : names_(names) {}

    // The item's line; nothing for an item whose unit, source, area of use or price type has no
    // row in its code table, which the listing leaves out.
    const std::string* of(db::RowReader& row) {
        for (const auto& [position, table] : kNamedCodes) {
            const auto& names = names_.byPosition.at(position);
            // A missing code (NULL) matches no row.
            const std::string_view code = row.utf8(position);
            const auto found = code.empty() ? names.end() : names.find(std::string(code));
            if (found == names.end())
                return nullptr;
            found_[position] = &found->second;
        }
        utf8_.clear();
        for (const ListingColumn& column : kColumns) {
            append(row, column);
            utf8_ += '\t';
        }
        line_.clear();
        platform::appendWindows1250(line_, utf8_);
        return &line_;
    }

private:
    void append(db::RowReader& row, const ListingColumn& column) {
        const int position = column.position;
        switch (column.written) {
            case Written::Quoted:
                utf8_ += '\'';
                utf8_ += row.utf8(position);
                utf8_ += '\'';
                return;
            case Written::TwoDecimals:
                appendTwoDecimals(row, position);
                return;
            case Written::Plain:
                utf8_ += row.utf8(position);
                return;
            case Written::Name:
                utf8_ += *found_[position];
                return;
        }
    }

    // A price as the listing shows it: its text as the data file has it, read back as a number,
    // written with two decimals, the regional separator and no grouping. A missing price shows
    // nothing. A price in whole hundredths is its own text and shows exactly those.
    void appendTwoDecimals(db::RowReader& row, int position) {
        const std::optional<double> stored = row.real(position);
        const std::optional<qint64> hundredths = stored ? db::hundredthsOf(*stored) : std::nullopt;
        if (hundredths) {
            char digits[24];
            const qint64 magnitude = std::abs(*hundredths);
            if (*hundredths < 0)
                utf8_ += '-';
            utf8_.append(digits,
                         std::to_chars(digits, digits + sizeof digits, magnitude / 100).ptr);
            utf8_ += separator_;
            utf8_ += static_cast<char>('0' + magnitude % 100 / 10);
            utf8_ += static_cast<char>('0' + magnitude % 10);
            return;
        }
        if (const std::optional<double> number = priceOf(row, position))
            utf8_ += db::twoDecimalsText(*number).toStdString();
    }

    // A double is read back from its digits without a QString; anything else, or digits that do
    // not read back, goes through the value conversion, which refuses what is no number.
    static std::optional<double> priceOf(db::RowReader& row, int position) {
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

    const CodeNames& names_;
    std::array<const std::string*, 17> found_{};
    const std::string separator_ = QString(platform::decimalSeparator()).toStdString();
    std::string utf8_;
    std::string line_;
};

}  // namespace

QStringList SaveRun::deleteOldListing(const QString& name) {
    if (!listingEntries_) {
        listingEntries_.emplace();
        for (const QString& entry : entriesOf(kListingFolder))
            (*listingEntries_)[entry.toLower()].append(entry);
    }
    return deleteEntries(kListingFolder, listingEntries_->take(name.toLower()));
}

void SaveRun::WritePurchaseListing(const QString& adosajat, const QString& year,
                                   const QString& quarter) {
    const QString name = listingFileName(adosajat, year, quarter);
    const QString path = kListingFolder + name;
    // The old listing is typically held open by a spreadsheet program; it stays, and so does its
    // error line, which names the file as it was found and fails the run.
    const QStringList kept = deleteOldListing(name);
    for (const QString& entry : kept)
        LogLine(notDeletable(entry), true);
    if (!kept.isEmpty())
        return;

    platform::TextFile file(path);
    file.writeLine(u"Árinformációs adatjelentés, beszerzési adatok listája");
    file.writeLine(u"");

    const QVariantList key{adosajat, year, quarter};
    file.writeLine(QStringLiteral("Intézet neve: ") + recordText(key, u"intnev"));
    file.writeLine(QStringLiteral("adószám: ") + recordText(key, u"adosajat"));
    file.writeLine(QStringLiteral("Beszerzési időszak (év, negyedév): ") +
                   recordText(key, u"adatszolgev") + QStringLiteral(", ") +
                   recordText(key, u"adatszolgnegyedev"));

    file.writeLine(u"");
    file.writeLine(u"");
    file.writeLine(titleLine());

    if (!codeNames_)
        codeNames_ = std::make_unique<CodeNames>();
    db::RowReader& items = statements().purchaseRows;
    items.run(key);
    ItemLines lines(*codeNames_);
    while (items.next()) {
        if (const std::string* line = lines.of(items))
            file.writeEncodedLine(*line);
    }
    file.close();
}

}  // namespace exporting
