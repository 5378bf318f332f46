// The fixed-width institution and purchase data files.

#include "common.h"
#include "platform/codepage.h"
#include "save_run.h"

#include <algorithm>
#include <array>
#include <string>

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

// Builds fixed-width lines in Windows-1250 from rows, reusing its room from line to line.
class FixedWidthLines {
public:
    template <std::size_t N>
    const std::string& of(db::RowReader& row, const std::array<Field, N>& fields) {
        int width = 0;
        for (const Field& field : fields)
            width += field.width;
        line_.assign(static_cast<size_t>(width), ' ');
        char* at = line_.data();
        for (std::size_t i = 0; i < N; ++i) {
            value_.clear();
            platform::appendWindows1250(value_, row.utf8(static_cast<int>(i)));
            PadField(at, value_, fields[i].width, fields[i].leftAligned);
            at += fields[i].width;
        }
        return line_;
    }

private:
    std::string line_;
    std::string value_;
};

}  // namespace

const QString kPurchaseRows = QStringLiteral(
    "select * from adatlapBR where adosajat = ? and beszerzev = ? and beszerznegyedev = ?");

QByteArray PadField(const QByteArray& value, int width, bool leftAligned) {
    QByteArray field(width, ' ');
    PadField(field.data(), value, width, leftAligned);
    return field;
}

void PadField(char* field, QByteArrayView value, int width, bool leftAligned) {
    const qsizetype length = std::min<qsizetype>(value.size(), width);
    std::copy_n(value.data(), length, field + (leftAligned ? 0 : width - length));
}

void SaveRun::WriteInstitutionFile(const QString& adosajat, const QString& year,
                                   const QString& quarter) {
    db::RowReader& row = statements().providerRow;
    row.run({adosajat, year, quarter});
    const QString name = reportFileName(adosajat, year, quarter, QStringLiteral("BI"));
    showStep(row.next() ? 1 : 0, name);
    showProgress(1);
    platform::TextFile file(kTextFolder + name);
    file.writeEncodedLine(FixedWidthLines().of(row, kInstitutionFields));
    row.close();
    file.close();
}

void SaveRun::WritePurchaseFile(const QString& adosajat, const QString& year,
                                const QString& quarter) {
    const QVariantList key{adosajat, year, quarter};
    const int count = itemCount(key).toInt();
    const QString name = reportFileName(adosajat, year, quarter, QStringLiteral("BR"));
    showStep(count, name);
    if (count == 0)
        return;
    platform::TextFile file(kTextFolder + name);
    db::RowReader& rows = statements().purchaseRows;
    rows.run(key);
    FixedWidthLines lines;
    for (int number = 1; rows.next(); ++number) {
        showProgress(number);
        file.writeEncodedLine(lines.of(rows, kPurchaseFields));
    }
    file.close();
}

}  // namespace exporting
