#pragma once

#include <QString>
#include <QVariant>

#include <optional>
#include <string_view>

namespace db {

// The kinds of value a column can hold, as the declared-column check compares them.
enum class ValueKind { Text, Integer, Real };

// A double as the program writes it: rounded to 15 significant digits, fixed-point without
// grouping, the regional decimal separator, trailing zeros dropped; exponent form (1E15, 1E-5)
// from 10^15 up and for non-zero values below 0.0001. A value nearer to the largest double than
// 15 digits can tell is written as the largest 15-digit form that still reads back.
QString floatText(double value);
// A value within 10^13 that is a whole number of hundredths, as prices are, as that number:
// its written form is those digits with the point before the last two.
std::optional<qint64> hundredthsOf(double value);
// floatText's characters with "." in place of the decimal separator, all of them ASCII, written
// into digits.
std::string_view floatDigits(double value, char (&digits)[32]);

// Two decimals with the regional decimal separator and no grouping, as "%.2f" writes them; without
// the leading zero, as the display pattern ".00" shows a value below 1 (0.5 as ",50").
QString twoDecimalsText(double value, bool leadingZero = true);

// A stored value as the pattern ".00" shows it: NULL as the empty text.
QString twoDecimalsPattern(const QVariant& value);

// How a bound control shows a stored value; textOf unless a control is given another.
using DisplayFormat = QString (*)(const QVariant& value);

// A stored value as text: NULL is the empty text, an integer its decimal digits, a double
// floatText.
QString textOf(const QVariant& value);

// A text converted to a column's kind: the empty text is NULL; a whole number within 32 bits or a
// finite number with the regional decimal separator; anything else ("inf", "nan" among them) is
// a Failure naming the text.
QVariant valueFromText(const QString& text, ValueKind kind);

}  // namespace db
