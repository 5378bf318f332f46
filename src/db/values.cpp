#include "values.h"

#include "platform/failure.h"
#include "platform/regional.h"

namespace db {

namespace {

// "1e+15" → "1E15", "1.5e-05" → "1.5E-5".
QString compactExponent(const QString& number) {
    const auto e = number.indexOf(u'e');
    if (e < 0)
        return number;
    QString exponent = number.mid(e + 1);
    const bool negative = exponent.startsWith(u'-');
    exponent.remove(0, exponent.startsWith(u'-') || exponent.startsWith(u'+') ? 1 : 0);
    while (exponent.size() > 1 && exponent.startsWith(u'0'))
        exponent.remove(0, 1);
    return number.left(e) + u'E' + (negative ? QStringLiteral("-") : QString()) + exponent;
}

}  // namespace

QString floatText(double value) {
    // 'g' with 15 digits switches to the exponent exactly at 10^15 and below 10^-4.
    QString text = compactExponent(QString::number(value, 'g', 15));
    text.replace(u'.', platform::decimalSeparator());
    return text;
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
            const qlonglong number = text.trimmed().toLongLong(&ok);
            if (!ok)
                throw platform::Failure(
                    QStringLiteral("'%1' is not a valid integer value").arg(text));
            return number;
        }
        case ValueKind::Real: {
            const QChar separator = platform::decimalSeparator();
            QString plain = text.trimmed();
            // Only the regional separator belongs to a number; a point under a comma locale does
            // not.
            if (separator != u'.' && plain.contains(u'.'))
                plain.clear();
            plain.replace(separator, u'.');
            const double number = plain.toDouble(&ok);
            if (!ok)
                throw platform::Failure(
                    QStringLiteral("'%1' is not a valid floating point value").arg(text));
            return number;
        }
    }
    return text;
}

}  // namespace db
