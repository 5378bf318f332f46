#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

// The fixed-width fields of the institution and purchase data files, and the one rule a value
// must pass to be written into them: it fits its field whole. The save run, the item import and
// the period check all judge values by it.
namespace exporting {

struct DataField {
    const char* column;
    int width;
    bool leftAligned;
    // The field holds the value's first width characters by definition: the group code, which
    // the collecting organisation reads by its first 6 characters.
    bool beginningOnly = false;
};

// AdatlapInt in its column order: 339 characters.
inline constexpr std::array<DataField, 19> kInstitutionFields{{
    {"Adosajat", 8, true},
    {"Intnev", 80, true},
    {"Sz_megyekod", 2, true},
    {"Sz_telepuleskod", 5, true},
    {"Irsz", 4, true},
    {"Telepules", 30, true},
    {"Utca", 30, true},
    {"Hsz", 3, true},
    {"Intag", 4, true},
    {"Gazdfor", 2, true},
    {"I_ANTSZkod", 6, true},
    {"Toltnev", 30, true},
    {"Toltmail", 30, true},
    {"Tolttel", 20, true},
    {"Vezetonev", 30, true},
    {"Vezetomail", 30, true},
    {"Vezetotel", 20, true},
    {"Adatszolgev", 4, false},
    {"Adatszolgnegyedev", 1, false},
}};

// The position of a column among kInstitutionFields, found when the program is compiled: a name
// that is not there does not compile.
consteval int institutionField(std::string_view column) {
    for (size_t i = 0; i < kInstitutionFields.size(); ++i) {
        if (std::string_view(kInstitutionFields[i].column) == column)
            return static_cast<int>(i);
    }
    throw "no such field";
}

// AdatlapBR in its column order: 165 characters. The group code keeps its first 6 characters and
// the item number is left-aligned, as the collecting organisation reads them.
inline constexpr std::array<DataField, 17> kPurchaseFields{{
    {"Adosajat", 8, true},
    {"Beszerzev", 4, false},
    {"Beszerznegyedev", 1, true},
    {"Beszerzho", 2, true},
    {"Tetelsorszam", 5, true},
    {"Termekszolg", 1, true},
    {"Vtszszolgkod", 6, true, true},
    {"Termitj", 8, true},
    {"Vtszszolg", 17, true},
    {"Termszolgnev", 80, true},
    {"Mennyisegiegyseg", 2, true},
    {"Vasaroltmenny", 9, false},
    {"Beszerzforras", 1, true},
    {"Felhasznter", 2, true},
    {"Artipus", 1, true},
    {"Tegysegar", 9, false},
    {"Bazisegysegar", 9, false},
}};

// The position of a column among kPurchaseFields, found when the program is compiled.
consteval int purchaseField(std::string_view column) {
    for (size_t i = 0; i < kPurchaseFields.size(); ++i) {
        if (std::string_view(kPurchaseFields[i].column) == column)
            return static_cast<int>(i);
    }
    throw "no such field";
}

// The width of a purchase data file's line, its CR LF left out.
inline constexpr size_t kPurchaseLineWidth = [] {
    size_t width = 0;
    for (const DataField& field : kPurchaseFields)
        width += static_cast<size_t>(field.width);
    return width;
}();

// A value of that many Windows-1250 bytes fits its field: a data file never cuts a value, since
// a cut number or name is another number or name.
constexpr bool fitsField(const DataField& field, qsizetype bytes) {
    return bytes <= field.width || field.beginningOnly;
}

// Whether a value holds a control character, a line break among them, which would break the data
// file's line: it does not fit any field. Inline: it runs for every value read.
inline bool hasControlCharacter(std::string_view bytes) {
    // Eight bytes at a time. Of a byte below 0x80, its low seven bits plus 0x60 reach 0x80 from
    // 0x20 up, and plus 0x01 only at 0x7f; no sum carries into the next byte.
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x80 * kOnes;
    size_t at = 0;
    for (std::uint64_t word = 0; at + sizeof word <= bytes.size(); at += sizeof word) {
        std::memcpy(&word, bytes.data() + at, sizeof word);
        const std::uint64_t low = word & ~kHighBits;
        if (~word & (~(low + 0x60 * kOnes) | (low + kOnes)) & kHighBits)
            return true;
    }
    return std::any_of(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f;
    });
}

// What the user is told of a value that holds a control character.
QString controlCharacterMessage();

// What the user is told of a value, as its text, that does not fit its field.
QString notFittingMessage(const DataField& field, const QString& text);

// The message for a stored value's text (as db::textOf gives it) that would not fit its field, or
// that holds a control character; nothing when it fits.
std::optional<QString> fieldMisfit(const DataField& field, const QString& text);

// A value (in Windows-1250, one byte per character) fitted to its field: cut to the width, or
// filled with blanks after it (left-aligned) or before it (right-aligned).
QByteArray PadField(const QByteArray& value, int width, bool leftAligned);
// The same written into a field of width blanks.
// Inline: it runs for every value written.
inline void PadField(char* field, std::string_view value, int width, bool leftAligned) {
    const size_t length = std::min(value.size(), static_cast<size_t>(width));
    std::copy_n(value.data(), length, field + (leftAligned ? 0 : width - static_cast<int>(length)));
}

}  // namespace exporting
