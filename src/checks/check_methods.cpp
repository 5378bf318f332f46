#include "check_methods.h"

#include "platform/message_box.h"

#include <QWidget>

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

void SetPanelEnabled(QWidget* panel, bool enabled) {
    panel->setEnabled(enabled);
    for (auto* control : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setEnabled(enabled);
}

std::optional<Fault> DigitsFault(const QString& label, const QString& value, int count) {
    if (characterCount(value) != count)
        return Fault{fieldName(label) + QStringLiteral(" nevű mezőnek ") + QString::number(count) +
                     QStringLiteral(" jegyből kell állnia!!!")};
    if (!std::all_of(value.begin(), value.end(), isDigit))
        return Fault{fieldName(label) + QStringLiteral(" nevű mező csak számjegyekből állhat!!!")};
    return std::nullopt;
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

bool CheckEmail(const QString& label, const QString& value) {
    if (value.isEmpty()) {
        platform::showWarning(label +
                              QStringLiteral(" e-mail címet kötelező kitölteni! Amennyiben nincs "
                                             "e-mail címe, kérem írja be a \"nincs\" szót!!!"));
        return true;
    }
    if (asciiLower(value) == u"nincs")
        return false;
    if (isValidAddress(value))
        return false;
    platform::showWarning(label + QStringLiteral(" e-mail cím nem szabályos e-mail cím!!!"));
    return true;
}

bool CheckTaxNumber(const QString& label, const QString& value) {
    if (CheckDigits(label, value, 8))
        return true;
    static constexpr int kWeights[8] = {9, 7, 3, 1, 9, 7, 3, 1};
    int sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += kWeights[i] * (value[i].unicode() - u'0');
    if (sum % 10 == 0)
        return false;
    // Only No rejects the number; OK or closing the box keeps it as typed.
    const Button answer = platform::showConfirmation(
        fieldName(label) +
            QStringLiteral(" nevű mezőben megadott adószámnak ellenőrző karaktere hibás! Valóban "
                           "ez az intézmény hivatalos adószáma?"),
        {Button::No, Button::Ok});
    return answer == Button::No;
}

bool CheckCode(const QString& label, const QString& code, const QString& name, int count) {
    return ShowFault(CodeFault(label, code, name, count));
}

}  // namespace CheckMethods
