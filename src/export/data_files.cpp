// The fixed-width institution and purchase data files.

#include "common.h"
#include "db/query.h"
#include "platform/codepage.h"
#include "save_run.h"

#include <array>

namespace exporting {

namespace {

struct Field {
    int width;
    bool leftAligned;
};

constexpr bool L = true;
constexpr bool R = false;

// AdatlapInt in its column order: 339 characters.
constexpr std::array<Field, 19> kInstitutionFields{{
    {8, L},   // Adosajat
    {80, L},  // Intnev
    {2, L},   // Sz_megyekod
    {5, L},   // Sz_telepuleskod
    {4, L},   // Irsz
    {30, L},  // Telepules
    {30, L},  // Utca
    {3, L},   // Hsz
    {4, L},   // Intag
    {2, L},   // Gazdfor
    {6, L},   // I_ANTSZkod
    {30, L},  // Toltnev
    {30, L},  // Toltmail
    {20, L},  // Tolttel
    {30, L},  // Vezetonev
    {30, L},  // Vezetomail
    {20, L},  // Vezetotel
    {4, R},   // Adatszolgev
    {1, R},   // Adatszolgnegyedev
}};

// AdatlapBR in its column order: 165 characters. The group code keeps its first 6 characters and
// the item number is left-aligned, as the collecting organisation reads them.
constexpr std::array<Field, 17> kPurchaseFields{{
    {8, L},   // Adosajat
    {4, R},   // Beszerzev
    {1, L},   // Beszerznegyedev
    {2, L},   // Beszerzho
    {5, L},   // Tetelsorszam
    {1, L},   // Termekszolg
    {6, L},   // Vtszszolgkod
    {8, L},   // Termitj
    {17, L},  // Vtszszolg
    {80, L},  // Termszolgnev
    {2, L},   // Mennyisegiegyseg
    {9, R},   // Vasaroltmenny
    {1, L},   // Beszerzforras
    {2, L},   // Felhasznter
    {1, L},   // Artipus
    {9, R},   // Tegysegar
    {9, R},   // Bazisegysegar
}};

template <std::size_t N>
QByteArray fixedWidthLine(const db::Query& row, const std::array<Field, N>& fields) {
    QByteArray line;
    for (std::size_t i = 0; i < N; ++i) {
        const QByteArray value = platform::toWindows1250(row.text(static_cast<int>(i)));
        line += PadField(value, fields[i].width, fields[i].leftAligned);
    }
    return line;
}

const QString kPurchaseRows = QStringLiteral(
    "select * from adatlapBR where adosajat = ? and beszerzev = ? and beszerznegyedev = ?");

}  // namespace

QByteArray PadField(const QByteArray& value, int width, bool leftAligned) {
    if (value.size() >= width)
        return value.left(width);
    const QByteArray blanks(width - value.size(), ' ');
    return leftAligned ? value + blanks : blanks + value;
}

void SaveRun::WriteInstitutionFile(const QString& adosajat, const QString& year,
                                   const QString& quarter) {
    const db::Query row(kProviderRow, {adosajat, year, quarter});
    const QString name = reportFileName(adosajat, year, quarter, QStringLiteral("BI"));
    showStep(row.rowCount(), name);
    showProgress(1);
    platform::TextFile file(kTextFolder + name);
    file.writeEncodedLine(fixedWidthLine(row, kInstitutionFields));
    file.close();
}

void SaveRun::WritePurchaseFile(const QString& adosajat, const QString& year,
                                const QString& quarter) {
    db::Query rows(kPurchaseRows, {adosajat, year, quarter});
    const QString name = reportFileName(adosajat, year, quarter, QStringLiteral("BR"));
    showStep(rows.rowCount(), name);
    if (rows.rowCount() == 0)
        return;
    platform::TextFile file(kTextFolder + name);
    for (int number = 1; !rows.eof(); ++number, rows.next()) {
        showProgress(number);
        file.writeEncodedLine(fixedWidthLine(rows, kPurchaseFields));
    }
    file.close();
}

}  // namespace exporting
