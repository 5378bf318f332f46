#pragma once

#include <QString>

#include <optional>

// The field checks of the two editors. Each check looks at one value as the user typed it, tells
// the user what is wrong with it in a message box naming the field by the caller's label, and
// returns the failed flag: true when the value was rejected.
namespace CheckMethods {

// The value must have exactly count characters, all of them digits.
bool CheckDigits(const QString& label, const QString& value, int count);
// The value must have at least minimum characters.
bool CheckMinLength(const QString& label, const QString& value, int minimum);
// An e-mail address, or the word "nincs" in any letter case.
bool CheckEmail(const QString& label, const QString& value);
// Eight digits whose weighted sum is a multiple of 10; otherwise the user is asked whether the
// number is right after all.
bool CheckTaxNumber(const QString& label, const QString& value);
// A code of count digits whose looked-up name is not the "not found" text.
bool CheckCode(const QString& label, const QString& code, const QString& name, int count);

// What a check found wrong with a value: the text its box shows, and whether that box is a
// warning or a plain message.
struct Fault {
    QString message;
    bool warning = true;
};

// The checks above without a box, for callers that collect what is wrong: the fault, or nothing
// when the value passes.
std::optional<Fault> DigitsFault(const QString& label, const QString& value, int count);
std::optional<Fault> MinLengthFault(const QString& label, const QString& value, int minimum);
std::optional<Fault> CodeFault(const QString& label, const QString& code, const QString& name,
                               int count);
// A text the report files cannot carry as typed: one holding a control character (U+0000 to
// U+001F or U+007F, a line break among them) or a character that their Windows-1250 code page
// lacks, which they would hold as "?".
std::optional<Fault> TextFault(const QString& label, const QString& value);

std::optional<Fault> EmailFault(const QString& label, const QString& value);
// The question a tax number of eight digits raises when its check digit is wrong; nothing when
// it is right.
std::optional<QString> CheckDigitQuestion(const QString& label, const QString& value);
// Asks the check-digit question; true when the user rejects the number.
bool AskCheckDigit(const std::optional<QString>& question);

// Shows the fault's box; true when there was a fault.
bool ShowFault(const std::optional<Fault>& fault);

}  // namespace CheckMethods
