#include "values.h"

#include "platform/failure.h"
#include "platform/regional.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

namespace db {

namespace {

// The largest magnitude whose 15-digit form still reads back as a number: from here up to the
// largest double, rounding to 15 digits would go past it.
constexpr double kLargestReadable = 1.79769313486231e308;

}  // namespace

std::optional<qint64> hundredthsOf(double value) {
    if (!(std::abs(value) < 1e13) || value == 0)
        return std::nullopt;
    const qint64 hundredths = std::llround(value * 100);
    // The division is rounded as reading the decimal form would be.
    if (static_cast<double>(hundredths) / 100 != value)
        return std::nullopt;
    return hundredths;
}

std::string_view floatDigits(double value, char (&digits)[32]) {
    // A number of hundredths below 10^13 has 15 digits at most and reads back as the value, so
    // rounding to 15 digits gives those digits; laying them out is much quicker.
    if (const std::optional<qint64> hundredths = hundredthsOf(value)) {
        const qint64 magnitude = std::abs(*hundredths);
        char* to = digits;
        if (*hundredths < 0)
            *to++ = '-';
        to = std::to_chars(to, digits + sizeof digits, magnitude / 100).ptr;
        if (const int cents = static_cast<int>(magnitude % 100)) {
            *to++ = '.';
            *to++ = static_cast<char>('0' + cents / 10);
            if (cents % 10 != 0)
                *to++ = static_cast<char>('0' + cents % 10);
        }
        return {digits, static_cast<size_t>(to - digits)};
    }
    // The general form with 15 significant digits switches to the exponent exactly at 10^15 and
    // below 10^-4, as the written form requires.
    if (std::isfinite(value) && std::abs(value) > kLargestReadable)
        value = std::copysign(kLargestReadable, value);
    char* const end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 15).ptr;
    char* const e = std::find(digits, end, 'e');
    if (e == end)
        return {digits, static_cast<size_t>(end - digits)};
    // "1e+15" is written 1E15 and "1.5e-05" 1.5E-5.
    char* to = e;
    *to++ = 'E';
    const char* exponent = e + 1;
    if (*exponent++ == '-')
        *to++ = '-';
    while (end - exponent > 1 && *exponent == '0')
        ++exponent;
    to = std::copy(exponent, static_cast<const char*>(end), to);
    return {digits, static_cast<size_t>(to - digits)};
}

QString floatText(double value) {
    char digits[32];
    const std::string_view number = floatDigits(value, digits);
    const QChar separator = platform::decimalSeparator();
    QString text;
    text.reserve(static_cast<qsizetype>(number.size()));
    for (char c : number)
        text.append(c == '.' ? separator : QChar(QLatin1Char(c)));
    return text;
}

QString twoDecimalsText(double value, bool leadingZero) {
    QString text = QString::asprintf("%.2f", value);
    if (!leadingZero) {
        const qsizetype zero = text.startsWith(u'-') ? 1 : 0;
        if (text.mid(zero, 2) == u"0.")
            text.remove(zero, 1);
    }
    return text.replace(u'.', platform::decimalSeparator());
}

QString twoDecimalsPattern(const QVariant& value) {
    return value.isNull() ? QString() : twoDecimalsText(value.toDouble(), false);
}

QString textOf(const QVariant& value) {
    if (value.isNull())
        return {};
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            return floatText(value.toDouble());
        case QMetaType::LongLong:
        case QMetaType::Int:
            return QString::number(value.toLongLong());
        default:
            return value.toString();
    }
}

QVariant valueFromText(const QString& text, ValueKind kind) {
    if (text.isEmpty())
        return {};
    bool ok = false;
    switch (kind) {
        case ValueKind::Text:
            return text;
        case ValueKind::Integer: {
            // Whole-number columns hold 32 bits.
            const int number = text.trimmed().toInt(&ok);
            if (!ok)
                throw platform::Failure(
                    QStringLiteral("'%1' is not a valid integer value").arg(text));
            return qlonglong(number);
        }
        case ValueKind::Real: {
            const QChar separator = platform::decimalSeparator();
            QString plain = text.trimmed();
            // Only the regional separator belongs to a number; a point under a comma locale does
            // not.
            if (separator != u'.' && plain.contains(u'.'))
                plain.clear();
            plain.replace(separator, u'.');
            // "inf" and "nan" are no numbers to the user, nor a value too large for a double.
            const double number = plain.toDouble(&ok);
            if (!ok || !std::isfinite(number))
                throw platform::Failure(
                    QStringLiteral("'%1' is not a valid floating point value").arg(text));
            return number;
        }
    }
    return text;
}

}  // namespace db
