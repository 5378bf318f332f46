#include "item_checks.h"

#include "db/query.h"
#include "db/values.h"
#include "export/data_fields.h"
#include "platform/failure.h"

#include <QLocale>
#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace purchase {

namespace {

// The data file's field of a quantity or a price.
const exporting::DataField& fieldOf(NumberKind kind) {
    return exporting::kPurchaseFields[static_cast<size_t>(
        kind == NumberKind::Whole ? exporting::purchaseField("Vasaroltmenny")
                                  : exporting::purchaseField("Tegysegar"))];
}

// Whether the data file can write the number at all: a number without an exponent.
bool writableWithoutExponent(double value) {
    char digits[32];
    return std::isfinite(value) &&
           db::floatDigits(value, digits).find('E') == std::string_view::npos;
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\u00A0' || c == u'\u202F';
}

bool isAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The digits, with a sign and a decimal point, as a number of the kind; nothing when out of range.
std::optional<double> digitsValue(const char* begin, const char* end, NumberKind kind) {
    // The parsers take no plus sign.
    if (*begin == '+')
        ++begin;
    if (kind == NumberKind::Whole) {
        long long whole = 0;
        const auto read = std::from_chars(begin, end, whole);
        return read.ec == std::errc() ? std::optional(static_cast<double>(whole)) : std::nullopt;
    }
    double value = 0;
    const auto read = std::from_chars(begin, end, value, std::chars_format::fixed);
    return read.ec == std::errc() ? std::optional(value) : std::nullopt;
}

// The number a text holds when it is plainly one: ASCII digits after an optional sign, a
// Decimal's one decimal comma between digits, blanks anywhere. Such a text reads as the general
// reading below reads it, without its string and expression work; any other gives nothing.
std::optional<double> plainNumber(QStringView text, NumberKind kind) {
    char digits[64];
    size_t length = 0;
    bool comma = false;
    const auto endsInDigit = [&] { return length > 0 && isAsciiDigit(digits[length - 1]); };
    for (const QChar c : text) {
        if (isBlank(c))
            continue;
        const char16_t unit = c.unicode();
        const bool sign = (unit == u'-' || unit == u'+') && length == 0;
        const bool decimalComma =
            unit == u',' && kind == NumberKind::Decimal && !comma && endsInDigit();
        if (length == sizeof digits || !(isAsciiDigit(unit) || sign || decimalComma))
            return std::nullopt;
        comma = comma || decimalComma;
        digits[length++] = decimalComma ? '.' : static_cast<char>(unit);
    }
    if (!endsInDigit())
        return std::nullopt;
    return digitsValue(digits, digits + length, kind);
}

// The general reading: points, grouped thousands, exponents and the like.
NumberReading generalNumber(QStringView text, NumberKind kind, PointsBesideComma points) {
    static const QRegularExpression groupedThousands(
        QStringLiteral("^[+-]?\\d{1,3}(\\.\\d{3})+,\\d*$"));
    static const QRegularExpression pointBeforeThree(QStringLiteral("\\.\\d{3}(?!\\d)"));
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?\\d+$"));
    QString plain = text.toString();
    plain.removeIf(isBlank);
    const bool comma = plain.contains(u',');
    if (plain.contains(u'.')) {
        if (comma && points == PointsBesideComma::GroupThousands &&
            groupedThousands.match(plain).hasMatch())
            plain.remove(u'.');
        else if (comma || pointBeforeThree.match(plain).hasMatch())
            return {std::nullopt, QStringLiteral("nem egyértelmű: a pont ezreseket is tagolhat. "
                                                 "Tizedesjelnek vesszőt írjon (1,25), az "
                                                 "ezreseket ne tagolja, vagy szóközzel (1 250)")};
    }
    plain.replace(u',', u'.');
    bool ok = false;
    double value = 0;
    if (kind == NumberKind::Whole)
        value =
            wholeNumber.match(plain).hasMatch() ? static_cast<double>(plain.toLongLong(&ok)) : 0;
    else
        value = QLocale::c().toDouble(plain, &ok);
    if (!ok)
        return {std::nullopt, kind == NumberKind::Whole ? QStringLiteral("nem egész szám")
                                                        : QStringLiteral("nem szám")};
    return {value, {}};
}

// A check that demands a value: the column it is about, the label its message names and the
// entry it looks at.
struct FilledCheck {
    const char* column;
    QString label;
    QString ItemEntries::*entry;
    std::optional<NumberKind> number = std::nullopt;
};

// The checks before and after the code check, in their order.
const FilledCheck kBeforeCode[] = {
    {"Beszerzho", QStringLiteral("Beszerzés hónapja"), &ItemEntries::month},
    {"Termekszolg", QStringLiteral("Termék vagy szolgáltatás"), &ItemEntries::kind},
};
const FilledCheck kAfterCode[] = {
    {"Termszolgnev", QStringLiteral("Termék/szolgáltatás neve"), &ItemEntries::name},
    {"Mennyisegiegyseg", QStringLiteral("Mennyiségi egység"), &ItemEntries::unit},
    {"Vasaroltmenny", QStringLiteral("Vásárolt mennyiség"), &ItemEntries::quantity,
     NumberKind::Whole},
    {"Beszerzforras", QStringLiteral("Beszerzési forrás"), &ItemEntries::source},
    {"Felhasznter", QStringLiteral("Felhasználási terület"), &ItemEntries::area},
    {"Artipus", QStringLiteral("Ártípus"), &ItemEntries::priceType},
    {"Tegysegar", QStringLiteral("Termék egységár"), &ItemEntries::price, NumberKind::Decimal},
    {"Bazisegysegar", QStringLiteral("Termék bázisegységár"), &ItemEntries::basePrice,
     NumberKind::Decimal},
};

// A text that is no number the data file can write.
std::optional<CheckMethods::Fault> numberFault(const QString& label, const QString& value,
                                               NumberKind kind, PointsBesideComma points) {
    const NumberReading number = readNumber(value, kind, points);
    if (!number.value)
        return CheckMethods::Fault{valueFault(label, value, number.problem)};
    return std::nullopt;
}

template <std::size_t N>
std::optional<ItemFault> firstUnfilled(const FilledCheck (&checks)[N], const ItemEntries& entries) {
    for (const FilledCheck& check : checks) {
        const QString& label = check.label;
        const QString& value = entries.*check.entry;
        auto fault = CheckMethods::TextFault(label, value);
        if (!fault)
            fault = CheckMethods::MinLengthFault(label, value, 1);
        if (!fault && check.number)
            fault = numberFault(label, value, *check.number, entries.points);
        if (fault)
            return ItemFault{QString::fromLatin1(check.column), *fault};
    }
    return std::nullopt;
}

template <std::size_t N>
const FilledCheck* checkOf(const FilledCheck (&checks)[N], const QString& column) {
    const auto* found = std::find_if(std::begin(checks), std::end(checks), [&](const auto& check) {
        return column == QLatin1StringView(check.column);
    });
    return found == std::end(checks) ? nullptr : found;
}

}  // namespace

NumberReading readNumber(QStringView text, NumberKind kind, PointsBesideComma points) {
    std::optional<double> value = plainNumber(text, kind);
    if (!value) {
        NumberReading general = generalNumber(text, kind, points);
        if (!general.value)
            return general;
        value = general.value;
    }
    if (!writableWithoutExponent(*value))
        return {std::nullopt, QStringLiteral("nem írható le kitevő nélkül az adatállományba")};
    return {value, {}};
}

QString valueFault(const QString& label, const QString& value, const QString& problem) {
    return QStringLiteral("A '%1' nevű mezőben megadott \"%2\" %3!!!")
        .arg(label, platform::excerpt(value), problem);
}

ItemFault missingCodeFault(const QString& column, const QString& code) {
    const FilledCheck* check = checkOf(kBeforeCode, column);
    if (!check)
        check = checkOf(kAfterCode, column);
    const QString label = check ? check->label : column;
    return {column, {valueFault(label, code, QStringLiteral("nem szerepel a kódtáblában"))}};
}

std::optional<ItemFault> firstFailingCheck(const ItemEntries& entries) {
    if (auto fault = firstUnfilled(kBeforeCode, entries))
        return fault;
    // The code's own length: only digits are demanded, and a group that was found.
    if (auto fault =
            CheckMethods::CodeFault(QStringLiteral("Termékkód/szolgáltatáskód"), entries.code,
                                    entries.groupName, static_cast<int>(entries.code.size())))
        return ItemFault{QStringLiteral("Vtszszolgkod"), *fault};
    return firstUnfilled(kAfterCode, entries);
}

std::optional<ItemFault> firstNumberMisfit(const ItemEntries& entries) {
    for (const FilledCheck& check : kAfterCode) {
        if (!check.number)
            continue;
        const auto number = readNumber(entries.*check.entry, *check.number, entries.points).value;
        if (!number)
            continue;
        if (const auto misfit =
                exporting::fieldMisfit(fieldOf(*check.number), db::floatText(*number)))
            return ItemFault{QString::fromLatin1(check.column), CheckMethods::Fault{*misfit}};
    }
    return std::nullopt;
}

const QStringList kEnteredColumns = {
    QStringLiteral("Beszerzho"),        QStringLiteral("Termekszolg"),
    QStringLiteral("Vtszszolgkod"),     QStringLiteral("Termszolgnev"),
    QStringLiteral("Mennyisegiegyseg"), QStringLiteral("Vasaroltmenny"),
    QStringLiteral("Beszerzforras"),    QStringLiteral("Felhasznter"),
    QStringLiteral("Artipus"),          QStringLiteral("Tegysegar"),
    QStringLiteral("Bazisegysegar")};

QString enteredValuesKey(const QStringList& texts) {
    // No stored text holds a control character, so one parts the values unambiguously.
    return texts.join(QChar(0x1F));
}

QString groupTableOf(const QString& kind) {
    if (kind == u"1")
        return kProductGroupTable;
    if (kind == u"2")
        return kServiceGroupTable;
    return {};
}

std::optional<Group> lookUpGroup(db::Query& query, const QString& groupTable, const QString& code) {
    // The table is one of the two group tables that the kinds name.
    query.run(QStringLiteral("select * from %1 where Id = ?").arg(db::quoteName(groupTable)),
              {code});
    const auto closeQuery = qScopeGuard([&query] { query.close(); });
    if (query.rowCount() == 0)
        return std::nullopt;
    const QString numberColumn =
        groupTable == kProductGroupTable ? QStringLiteral("vtsz") : QStringLiteral("szjszam");
    return Group{query.text(QStringLiteral("Nev")), query.text(QStringLiteral("itj")),
                 query.text(numberColumn)};
}

}  // namespace purchase
