#include "record_checks.h"

#include "institution_records.h"

namespace institution {

namespace {

using CheckMethods::Fault;

const QString kTaxNumberLabel = QStringLiteral("törzsszám");

struct Step {
    const char* column;
    std::function<std::optional<Fault>()> check;
};

}  // namespace

std::optional<RecordFault> firstFailingCheck(const RecordEntries& e,
                                             const std::function<bool()>& keyTaken) {
    using namespace CheckMethods;
    // A typed text is refused for a character the report files cannot carry before its own check
    // looks at it.
    const auto minLength = [](const char* label, const QString& value, int minimum) {
        return [=] {
            const QString name = QString::fromUtf8(label);
            const auto control = TextFault(name, value);
            return control ? control : MinLengthFault(name, value, minimum);
        };
    };
    const auto email = [](const char* label, const QString& value) {
        return [=] {
            const QString name = QString::fromUtf8(label);
            const auto control = TextFault(name, value);
            return control ? control : EmailFault(name, value);
        };
    };
    const Step steps[] = {
        {"Adosajat", [&] { return DigitsFault(kTaxNumberLabel, e.adosajat, 8); }},
        {"Adatszolgev",
         [&] {
             // Four characters, and digits only: "+207" is no year.
             const QString label = QStringLiteral("Adatszolgáltatás éve");
             const auto fault = MinLengthFault(label, e.year, 4);
             return fault ? fault : DigitsFault(label, e.year, 4);
         }},
        {"Adatszolgnegyedev", minLength("Adatszolgáltatás negyedéve", e.quarter, 1)},
        {"Adosajat",
         [&] { return keyTaken() ? std::optional(Fault{kDuplicateKey}) : std::nullopt; }},
        {"Intnev", minLength("Adatszolgáltató neve", e.intnev, 1)},
        {"Sz_megyekod", minLength("megye", e.megye, 1)},
        {"Sz_telepuleskod",
         [&] { return CodeFault(QStringLiteral("település"), e.telepuleskod, e.telepules, 5); }},
        {"Irsz", minLength("irányítószám", e.irsz, 1)},
        {"Utca", minLength("út", e.utca, 1)},
        {"Hsz", minLength("házszám", e.hsz, 1)},
        {"Intag", [&] { return CodeFault(QStringLiteral("szakágazat"), e.intag, e.intagnev, 4); }},
        {"Gazdfor", minLength("gazdálkodási forma", e.gazdfor, 1)},
        {"I_ANTSZkod", minLength("Adatszolgáltató ANTSZ kódja", e.antszkod, 6)},
        {"Toltnev", minLength("kitöltő neve", e.toltnev, 1)},
        {"Tolttel", minLength("kitöltő telefonszáma", e.tolttel, 1)},
        {"Toltmail", email("kitöltő email címe", e.toltmail)},
        {"Vezetonev", minLength("vezető neve", e.vezetonev, 1)},
        {"Vezetotel", minLength("vezető telefonszáma", e.vezetotel, 1)},
        {"Vezetomail", email("vezető email címe", e.vezetomail)},
    };
    for (const Step& step : steps) {
        if (auto fault = step.check())
            return RecordFault{QString::fromLatin1(step.column), *fault};
    }
    return std::nullopt;
}

std::optional<QString> checkDigitQuestion(const RecordEntries& entries) {
    if (CheckMethods::DigitsFault(kTaxNumberLabel, entries.adosajat, 8))
        return std::nullopt;
    return CheckMethods::CheckDigitQuestion(kTaxNumberLabel, entries.adosajat);
}

}  // namespace institution
