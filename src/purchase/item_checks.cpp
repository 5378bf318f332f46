#include "item_checks.h"

#include "db/query.h"
#include "platform/failure.h"

#include <QScopeGuard>

#include <algorithm>

namespace purchase {

namespace {

// A check that demands a value: the column it is about, the label its message names and the
// entry it looks at.
struct FilledCheck {
    const char* column;
    const char* label;
    QString ItemEntries::*entry;
};

// The checks before and after the code check, in their order.
const FilledCheck kBeforeCode[] = {
    {"Beszerzho", "Beszerzés hónapja", &ItemEntries::month},
    {"Termekszolg", "Termék vagy szolgáltatás", &ItemEntries::kind},
};
const FilledCheck kAfterCode[] = {
    {"Termszolgnev", "Termék/szolgáltatás neve", &ItemEntries::name},
    {"Mennyisegiegyseg", "Mennyiségi egység", &ItemEntries::unit},
    {"Vasaroltmenny", "Vásárolt mennyiség", &ItemEntries::quantity},
    {"Beszerzforras", "Beszerzési forrás", &ItemEntries::source},
    {"Felhasznter", "Felhasználási terület", &ItemEntries::area},
    {"Artipus", "Ártípus", &ItemEntries::priceType},
    {"Tegysegar", "Termék egységár", &ItemEntries::price},
    {"Bazisegysegar", "Termék bázisegységár", &ItemEntries::basePrice},
};

template <std::size_t N>
std::optional<ItemFault> firstUnfilled(const FilledCheck (&checks)[N], const ItemEntries& entries) {
    for (const FilledCheck& check : checks) {
        const QString label = QString::fromUtf8(check.label);
        auto fault = CheckMethods::ControlCharacterFault(label, entries.*check.entry);
        if (!fault)
            fault = CheckMethods::MinLengthFault(label, entries.*check.entry, 1);
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

QString valueFault(const QString& label, const QString& value, const QString& problem) {
    return QStringLiteral("A '%1' nevű mezőben megadott \"%2\" %3!!!")
        .arg(label, platform::excerpt(value), problem);
}

ItemFault missingCodeFault(const QString& column, const QString& code) {
    const FilledCheck* check = checkOf(kBeforeCode, column);
    if (!check)
        check = checkOf(kAfterCode, column);
    const QString label = check ? QString::fromUtf8(check->label) : column;
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
