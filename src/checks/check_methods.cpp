#include "check_methods.h"

#include "platform/message_box.h"

#include <QList>

#include <algorithm>

namespace CheckMethods {

namespace {

using platform::Button;

QString fieldName(const QString& label) {
    return QStringLiteral("A '") + label + u'\'';
}

// Characters as the user sees them and as the data files hold them: one per code point after the
// composition the files apply (NFC), so a letter typed with a combining accent counts once.
qsizetype characterCount(const QString& value) {
    // Below U+0300 nothing combines or decomposes, so each unit is a character: most texts need
    // no normal form made.
    if (std::all_of(value.begin(), value.end(), [](QChar c) { return c.unicode() < 0x300; }))
        return value.size();
    return value.normalized(QString::NormalizationForm_C).toUcs4().size();
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Lower case of the 26 letters A to Z only.
QString asciiLower(const QString& value) {
    QString lower = value;
    for (auto& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return lower;
}

bool isValidAddress(const QString& value) {
    const auto at = value.indexOf(u'@');
    if (at < 0)
        return false;
    bool dotInside = false;
    for (qsizetype i = at + 1; i < value.size(); ++i) {
        if (value[i] == u'@')
            return false;
        if (value[i] == u'.') {
            if (i == at + 1)
                return false;
            if (i != value.size() - 1)
                dotInside = true;
        }
    }
    return dotInside;
}

}  // namespace

std::optional<Fault> DigitsFault(const QString& label, const QString& value, int count) {
    if (characterCount(value) != count)
        return Fault{fieldName(label) + QStringLiteral(" nevű mezőnek ") + QString::number(count) +
                     QStringLiteral(" jegyből kell állnia!!!")};
    if (!std::all_of(value.begin(), value.end(), isDigit))
        return Fault{fieldName(label) + QStringLiteral(" nevű mező csak számjegyekből állhat!!!")};
    return std::nullopt;
}

std::optional<Fault> ControlCharacterFault(const QString& label, const QString& value) {
    const bool control = std::any_of(value.begin(), value.end(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7f;
    });
    if (!control)
        return std::nullopt;
    return Fault{fieldName(label) +
                 QStringLiteral(" nevű mező nem tartalmazhat vezérlőkaraktert!!!")};
}

std::optional<Fault> MinLengthFault(const QString& label, const QString& value, int minimum) {
    if (characterCount(value) >= minimum)
        return std::nullopt;
    if (value.isEmpty())
        return Fault{fieldName(label) + QStringLiteral(" nevű mező nincs kitöltve!!!")};
    return Fault{fieldName(label) + QStringLiteral(" nevű mező nem lehet ") +
                 QString::number(minimum) + QStringLiteral(" karakternél rövidebb!!!")};
}

std::optional<Fault> CodeFault(const QString& label, const QString& code, const QString& name,
                               int count) {
    if (auto fault = DigitsFault(label, code, count))
        return fault;
    // The look-ups write their "not found" text into the name box; the user sees it again.
    if (name.startsWith(QStringLiteral("Nincs ilyen kódú")))
        return Fault{name, false};
    return std::nullopt;
}

bool ShowFault(const std::optional<Fault>& fault) {
    if (!fault)
        return false;
    if (fault->warning)
        platform::showWarning(fault->message);
    else
        platform::showMessage(fault->message);
    return true;
}

bool CheckDigits(const QString& label, const QString& value, int count) {
    return ShowFault(DigitsFault(label, value, count));
}

bool CheckMinLength(const QString& label, const QString& value, int minimum) {
    return ShowFault(MinLengthFault(label, value, minimum));
}

std::optional<Fault> EmailFault(const QString& label, const QString& value) {
    if (value.isEmpty())
        return Fault{label + QStringLiteral(" e-mail címet kötelező kitölteni! Amennyiben nincs "
                                            "e-mail címe, kérem írja be a \"nincs\" szót!!!")};
    if (asciiLower(value) == u"nincs" || isValidAddress(value))
        return std::nullopt;
    return Fault{label + QStringLiteral(" e-mail cím nem szabályos e-mail cím!!!")};
}

std::optional<QString> CheckDigitQuestion(const QString& label, const QString& value) {
    static constexpr int kWeights[8] = {9, 7, 3, 1, 9, 7, 3, 1};
    int sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += kWeights[i] * (value[i].unicode() - u'0');
    if (sum % 10 == 0)
        return std::nullopt;
    return fieldName(label) +
           QStringLiteral(
               " nevű mezőben megadott adószámnak ellenőrző karaktere hibás! Valóban "
               "ez az intézmény hivatalos adószáma?");
}

bool AskCheckDigit(const std::optional<QString>& question) {
    // Only No rejects the number; OK or closing the box keeps it as typed.
    return question &&
           platform::showConfirmation(*question, {Button::No, Button::Ok}) == Button::No;
}

bool CheckEmail(const QString& label, const QString& value) {
    return ShowFault(EmailFault(label, value));
}

bool CheckTaxNumber(const QString& label, const QString& value) {
    return CheckDigits(label, value, 8) || AskCheckDigit(CheckDigitQuestion(label, value));
}

bool CheckCode(const QString& label, const QString& code, const QString& name, int count) {
    return ShowFault(CodeFault(label, code, name, count));
}

}  // namespace CheckMethods
