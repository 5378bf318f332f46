// The tab-separated purchase listing kept for the institution in Listak/.

#include "common.h"
#include "db/query.h"
#include "db/values.h"
#include "platform/codepage.h"
#include "save_run.h"

#include <array>

namespace exporting {

namespace {

enum class Written { Plain, Quoted, TwoDecimals };

struct ListingColumn {
    const char16_t* title;
    Written written;
};

// The item columns in the order of kItemRows; an empty title stands above a code's name.
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

// Items whose unit, source, area of use or price type has no code-table row are left out.
const QString kItemRows = QStringLiteral(
    "select br.TETELSORSZAM, br.TERMEKSZOLG, br.VTSZSZOLGKOD, br.TERMITJ, br.VTSZSZOLG, "
    "br.TERMSZOLGNEV, br.MENNYISEGIEGYSEG, tm.nevstr, br.VASAROLTMENNY, br.BESZERZFORRAS, "
    "tb.nevstr, br.FELHASZNTER, tf.nevstr, br.ARTIPUS, ta.nevstr, br.TEGYSEGAR, "
    "br.BAZISEGYSEGAR "
    "from adatlapBR br, torzs_mennyisegiegyseg tm, torzs_beszerzesiforras tb, "
    "torzs_felhasznter tf, torzs_artipus ta "
    "where br.adosajat = ? and br.beszerzev = ? and br.beszerznegyedev = ? "
    "and tm.id = br.mennyisegiegyseg and tb.id = br.beszerzforras "
    "and tf.id = br.felhasznter and ta.id = br.artipus");

// A price as the listing shows it: two decimals, the regional separator, no grouping. A missing
// price shows nothing.
QString twoDecimals(const QString& text) {
    const QVariant number = db::valueFromText(text, db::ValueKind::Real);
    if (number.isNull())
        return {};
    return db::twoDecimalsText(number.toDouble());
}

QString columnText(const db::Query& row, int position) {
    const QString text = row.text(position);
    switch (kColumns[position].written) {
        case Written::Quoted:
            return u'\'' + text + u'\'';
        case Written::TwoDecimals:
            return twoDecimals(text);
        case Written::Plain:
            break;
    }
    return text;
}

QString titleLine() {
    QStringList titles;
    for (const auto& column : kColumns)
        titles.append(QString::fromUtf16(column.title));
    return titles.join(u'\t');
}

QString itemLine(const db::Query& row) {
    QString line;
    for (int i = 0; i < static_cast<int>(kColumns.size()); ++i)
        line += columnText(row, i) + u'\t';
    return line;
}

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
    saveError_ = false;
    const QString name = listingFileName(adosajat, year, quarter);
    const QString path = kListingFolder + name;
    // The old listing is typically held open by a spreadsheet program; it stays, and so does its
    // error line, which names the file as it was found.
    for (const QString& kept : deleteOldListing(name))
        LogLine(notDeletable(kept), true);
    if (saveError_)
        return;

    platform::TextFile file(path);
    file.writeLine(u"Árinformációs adatjelentés, beszerzési adatok listája");
    file.writeLine(u"");

    db::Query query(kProviderRow, {adosajat, year, quarter});
    file.writeLine(QStringLiteral("Intézet neve: ") + query.text(QStringLiteral("intnev")));
    file.writeLine(QStringLiteral("adószám: ") + query.text(QStringLiteral("adosajat")));
    file.writeLine(QStringLiteral("Beszerzési időszak (év, negyedév): ") +
                   query.text(QStringLiteral("adatszolgev")) + QStringLiteral(", ") +
                   query.text(QStringLiteral("adatszolgnegyedev")));
    query.close();

    file.writeLine(u"");
    file.writeLine(u"");
    file.writeLine(titleLine());

    query.run(kItemRows, {adosajat, year, quarter});
    for (; !query.eof(); query.next())
        file.writeLine(itemLine(query));
    file.close();
}

}  // namespace exporting
