#include "values.h"

#include "platform/failure.h"
#include "platform/regional.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace db {

namespace {

// The largest magnitude whose 15-digit form still reads back as a number: from here up to the
// largest double, rounding to 15 digits would go past it.
constexpr double kLargestReadable = 1.79769313486231e308;

std::string_view fifteenDigits(double value, char (&digits)[32]) {
    // The general form with 15 significant digits switches to the exponent exactly at 10^15 and
    // below 10^-4, as the written form requires.
    if (std::isfinite(value) && std::abs(value) > kLargestReadable)
        value = std::copysign(kLargestReadable, value);
    const auto written =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 15);
    return {digits, static_cast<size_t>(written.ptr - digits)};
}

}  // namespace

QString floatText(double value) {
    char digits[32];
    const std::string_view number = fifteenDigits(value, digits);
    const QChar separator = platform::decimalSeparator();
    QString text;
    text.reserve(static_cast<qsizetype>(number.size()));
    const auto e = number.find('e');
    for (char c : number.substr(0, e))
        text.append(c == '.' ? separator : QChar(QLatin1Char(c)));
    if (e == std::string_view::npos)
        return text;
    // "1e+15" is written 1E15 and "1.5e-05" 1,5E-5.
    std::string_view exponent = number.substr(e + 1);
    text.append(u'E');
    if (exponent.front() == '-')
        text.append(u'-');
    exponent.remove_prefix(1);
    while (exponent.size() > 1 && exponent.front() == '0')
        exponent.remove_prefix(1);
    text.append(QLatin1String(exponent.data(), static_cast<qsizetype>(exponent.size())));
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
