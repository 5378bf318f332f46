#include "data_fields.h"

#include "platform/codepage.h"

namespace exporting {

QString notFittingMessage(const DataField& field, const QString& text) {
    return QStringLiteral("A(z) \"%1\" érték nem fér el az adatállomány %2 karakteres mezőjében!")
        .arg(text)
        .arg(field.width);
}

QString controlCharacterMessage() {
    return QStringLiteral(
        "Az érték vezérlőkaraktert (például sortörést) tartalmaz, az "
        "adatállomány sorába nem írható!");
}

std::optional<QString> fieldMisfit(const DataField& field, const QString& text) {
    if (std::any_of(text.begin(), text.end(),
                    [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; }))
        return controlCharacterMessage();
    // A character takes one byte in the code page, a pair of UTF-16 units at most one.
    if (fitsField(field, text.size()) || fitsField(field, platform::toWindows1250(text).size()))
        return std::nullopt;
    return notFittingMessage(field, text);
}

QByteArray PadField(const QByteArray& value, int width, bool leftAligned) {
    QByteArray field(width, ' ');
    PadField(field.data(), std::string_view(value.constData(), static_cast<size_t>(value.size())),
             width, leftAligned);
    return field;
}

}  // namespace exporting
