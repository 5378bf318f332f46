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

enum class Written { Plain, Quoted, TwoDecimals };

struct ListingColumn {
    const char16_t* title;
    Written written;
};

// The item columns in the order of kListingRows; an empty title stands above a code's name.
constexpr std::array<ListingColumn, 17> kColumns{{
    {u"tétel sorszám", Written::Plain},
    {u"termék vagy szolgáltatás kód", Written::Plain},
    {u"kódszám", Written::Plain},
    {u"ITJ", Written::Quoted},
    {u"VTSZ-SZJ", Written::Quoted},
    {u"megnevezés", Written::Plain},
    {u"mértékegység", Written::Quoted},
    {u"", Written::Plain},
    {u"vásárolt mennyiség", Written::Plain},
    {u"beszerzési forrás", Written::Plain},
    {u"", Written::Plain},
    {u"felhasználási terület", Written::Quoted},
    {u"", Written::Plain},
    {u"ártípus", Written::Plain},
    {u"", Written::Plain},
    {u"tény egységár (Ft)", Written::TwoDecimals},
    {u"bázis egységár (Ft)", Written::TwoDecimals},
}};

QString titleLine() {
    QStringList titles;
    for (const auto& column : kColumns)
        titles.append(QString::fromUtf16(column.title));
    return titles.join(u'\t');
}

// Builds the item lines in Windows-1250, reusing its room from line to line: the values are
// joined as UTF-8 and the line converted once.
class ItemLines {
public:
    const std::string& of(db::RowReader& row) {
        utf8_.clear();
        for (int i = 0; i < static_cast<int>(kColumns.size()); ++i) {
            append(row, i);
            utf8_ += '\t';
        }
        line_.clear();
        platform::appendWindows1250(line_, utf8_);
        return line_;
    }

private:
    void append(db::RowReader& row, int position) {
        switch (kColumns[position].written) {
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

    const std::string separator_ = QString(platform::decimalSeparator()).toStdString();
    std::string utf8_;
    std::string line_;
};

}  // namespace

// Items whose unit, source, area of use or price type has no code-table row are left out.
const QString kListingRows = QStringLiteral(
    "select br.TETELSORSZAM, br.TERMEKSZOLG, br.VTSZSZOLGKOD, br.TERMITJ, br.VTSZSZOLG, "
    "br.TERMSZOLGNEV, br.MENNYISEGIEGYSEG, tm.nevstr, br.VASAROLTMENNY, br.BESZERZFORRAS, "
    "tb.nevstr, br.FELHASZNTER, tf.nevstr, br.ARTIPUS, ta.nevstr, br.TEGYSEGAR, "
    "br.BAZISEGYSEGAR "
    "from adatlapBR br, torzs_mennyisegiegyseg tm, torzs_beszerzesiforras tb, "
    "torzs_felhasznter tf, torzs_artipus ta "
    "where br.adosajat = ? and br.beszerzev = ? and br.beszerznegyedev = ? "
    "and tm.id = br.mennyisegiegyseg and tb.id = br.beszerzforras "
    "and tf.id = br.felhasznter and ta.id = br.artipus");

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
    db::RowReader& provider = statements().providerRow;
    provider.run(key);
    provider.next();
    file.writeLine(QStringLiteral("Intézet neve: ") + provider.text(u"intnev"));
    file.writeLine(QStringLiteral("adószám: ") + provider.text(u"adosajat"));
    file.writeLine(QStringLiteral("Beszerzési időszak (év, negyedév): ") +
                   provider.text(u"adatszolgev") + QStringLiteral(", ") +
                   provider.text(u"adatszolgnegyedev"));
    provider.close();

    file.writeLine(u"");
    file.writeLine(u"");
    file.writeLine(titleLine());

    db::RowReader& items = statements().listingRows;
    items.run(key);
    ItemLines lines;
    while (items.next())
        file.writeEncodedLine(lines.of(items));
    file.close();
}

}  // namespace exporting
