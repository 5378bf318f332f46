#include "period_check.h"

#include "address_check.h"
#include "db/query.h"
#include "db/values.h"
#include "export/data_fields.h"
#include "institution/institution_records.h"
#include "institution/record_checks.h"
#include "overview/step_log.h"
#include "platform/codepage.h"
#include "platform/failure.h"
#include "platform/settings.h"
#include "plausibility.h"
#include "purchase/item_checks.h"

#include <QHash>
#include <QSet>

#include <optional>

namespace tools {

namespace {

using Names = QHash<QString, QString>;

// A code table's shown text by code, as the editors' drop-down lists show it; a code that is not
// in the table shows nothing.
Names namesOf(const QString& table, const QString& shown, const QString& condition = {},
              const QVariantList& values = {}) {
    Names names;
    for (db::Query query(
             QStringLiteral("select id, %1 from %2 %3").arg(shown, db::quoteName(table), condition),
             values);
         !query.eof(); query.next())
        names.insert(query.text(0), query.text(1));
    return names;
}

QString keyText(const QString& adosajat, const QString& year, const QString& quarter) {
    return QStringLiteral("%1 %2/%3").arg(adosajat, year, quarter);
}

// The code tables an item's checks look up, read once for the whole period.
struct ItemTables {
    explicit ItemTables(const QString& quarter)
        : months(namesOf(QStringLiteral("Torzs_ho"), QStringLiteral("Nev"),
                         QStringLiteral("where negyedev = ?"), {quarter})),
          kinds(namesOf(QStringLiteral("Torzs_Termekszolg"), QStringLiteral("Nev"))),
          units(namesOf(QStringLiteral("Torzs_Mennyisegiegyseg"), QStringLiteral("Nev"))),
          sources(namesOf(QStringLiteral("Torzs_Beszerzesiforras"), QStringLiteral("Nev"))),
          areas(namesOf(QStringLiteral("Torzs_Felhasznter"), QStringLiteral("Nev"))),
          priceTypes(namesOf(QStringLiteral("Torzs_Artipus"), QStringLiteral("Nev"))),
          groups{{purchase::kProductGroupTable,
                  namesOf(purchase::kProductGroupTable, QStringLiteral("Nev"))},
                 {purchase::kServiceGroupTable,
                  namesOf(purchase::kServiceGroupTable, QStringLiteral("Nev"))}} {}

    // The group name the editor shows beside the code: nothing without a code, the look-up's
    // not-found text for a code its kind's table lacks.
    QString groupName(const QString& kind, const QString& code) const {
        if (code.isEmpty())
            return {};
        const auto names = groups.constFind(purchase::groupTableOf(kind));
        if (names == groups.constEnd() || !names->contains(code))
            return purchase::kGroupNotFound;
        return names->value(code);
    }

    Names months, kinds, units, sources, areas, priceTypes;
    QHash<QString, Names> groups;
};

purchase::ItemEntries itemEntries(const db::Query& item, const ItemTables& tables) {
    const auto text = [&item](const char* column) {
        return item.text(QString::fromLatin1(column));
    };
    return {tables.months.value(text("Beszerzho")),
            tables.kinds.value(text("Termekszolg")),
            text("Vtszszolgkod"),
            tables.groupName(text("Termekszolg"), text("Vtszszolgkod")),
            text("Termszolgnev"),
            tables.units.value(text("Mennyisegiegyseg")),
            text("Vasaroltmenny"),
            tables.sources.value(text("Beszerzforras")),
            tables.areas.value(text("Felhasznter")),
            tables.priceTypes.value(text("Artipus")),
            text("Tegysegar"),
            text("Bazisegysegar")};
}

// The code tables a record's checks look up, read once for the whole period.
struct RecordTables {
    Names counties = namesOf(QStringLiteral("Torzs_KSHMEGYE"), QStringLiteral("Nev"));
    Names postalCodes = namesOf(QStringLiteral("Torzs_IRSZ"), QStringLiteral("id"));
    Names forms = namesOf(QStringLiteral("Torzs_gazdfor"), QStringLiteral("NEV"));
};

institution::RecordEntries recordEntries(const db::Query& record, const RecordTables& tables) {
    const auto text = [&record](const char* column) {
        return record.text(QString::fromLatin1(column));
    };
    // The names are looked up afresh, as the editor does when it shows the record, so a code
    // dropped from its table shows.
    return {text("Adosajat"),
            text("Adatszolgev"),
            text("Adatszolgnegyedev"),
            text("Intnev"),
            tables.counties.value(text("Sz_megyekod")),
            text("Sz_telepuleskod"),
            institution::settlementName(text("Sz_telepuleskod")),
            tables.postalCodes.value(text("Irsz")),
            text("Utca"),
            text("Hsz"),
            text("Intag"),
            institution::sectorName(text("Intag")),
            tables.forms.value(text("Gazdfor")),
            text("I_ANTSZkod"),
            text("Toltnev"),
            text("Tolttel"),
            text("Toltmail"),
            text("Vezetonev"),
            text("Vezetotel"),
            text("Vezetomail")};
}

// Every value of the row that would not fit its field in the data file, unless a check has
// already named its column: the save run would refuse the provider.
template <std::size_t N, typename Where>
void checkFieldWidths(const db::Query& row, const std::array<exporting::DataField, N>& fields,
                      const Where& where, const QString& checkedColumn, QList<Problem>& problems) {
    for (std::size_t i = 0; i < N; ++i) {
        const QString column = QString::fromLatin1(fields[i].column);
        if (column.compare(checkedColumn, Qt::CaseInsensitive) == 0)
            continue;
        if (const auto message = exporting::fieldMisfit(fields[i], row.text(static_cast<int>(i))))
            problems.append({where(), column, *message});
    }
}

void checkRecords(db::Query& records, const QHash<QString, int>& keyCounts,
                  const QSet<QString>& withItems, const PlausibilityRules& plausible,
                  QList<Problem>& problems) {
    const RecordTables tables;
    const SettlementAddresses addresses;
    for (; !records.eof(); records.next()) {
        const institution::RecordEntries entries = recordEntries(records, tables);
        const QString where =
            QStringLiteral("Adatlap ") + keyText(entries.adosajat, entries.year, entries.quarter);
        if (const auto question = institution::checkDigitQuestion(entries))
            problems.append({where, QStringLiteral("Adosajat"), *question, true});
        const auto fault = institution::firstFailingCheck(
            entries, [&] { return keyCounts.value(entries.adosajat) > 1; });
        if (fault)
            problems.append({where, fault->column, fault->fault.message});
        for (const auto& mismatch : addresses.mismatches(
                 records.text(QStringLiteral("Sz_telepuleskod")),
                 records.text(QStringLiteral("Sz_megyekod")), records.text(QStringLiteral("Irsz"))))
            problems.append({where, mismatch.column, mismatch.message, true});
        checkFieldWidths(
            records, exporting::kInstitutionFields, [&] { return where; },
            fault ? fault->column : QString(), problems);
        if (!withItems.contains(entries.adosajat))
            problems.append({where, {}, QStringLiteral("nincs beszerzési tétele")});
        plausible.checkRecordValue(entries.adosajat, where, problems);
    }
}

// Remembers the items of one record by their entered values, to find one entered twice.
class RepeatedItems {
public:
    // The number of the record's earlier item alike in every entered value; nothing when there
    // is none. The items come ordered by record.
    std::optional<QString> earlierAlike(const db::Query& item) {
        const QString adosajat = item.text(QStringLiteral("Adosajat"));
        if (adosajat != record_) {
            record_ = adosajat;
            numbers_.clear();
        }
        QStringList texts;
        for (const QString& column : purchase::kEnteredColumns)
            texts.append(item.text(column));
        const QString key = purchase::enteredValuesKey(texts);
        if (const auto at = numbers_.constFind(key); at != numbers_.constEnd())
            return *at;
        numbers_.insert(key, item.text(QStringLiteral("Tetelsorszam")));
        return std::nullopt;
    }

private:
    QString record_;
    QHash<QString, QString> numbers_;
};

void checkItems(db::Query& items, const QString& quarter, const QHash<QString, int>& keyCounts,
                const PlausibilityRules& plausible, QList<Problem>& problems) {
    const ItemTables tables(quarter);
    RepeatedItems repeated;
    for (; !items.eof(); items.next()) {
        const QString adosajat = items.text(QStringLiteral("Adosajat"));
        // Named only when there is a problem: most items have none.
        const auto where = [&] {
            return QStringLiteral("Tétel ") +
                   keyText(adosajat, items.text(QStringLiteral("Beszerzev")), quarter) +
                   QStringLiteral(" %1.").arg(items.text(QStringLiteral("Tetelsorszam")));
        };
        if (!keyCounts.contains(adosajat))
            problems.append(
                {where(), {}, QStringLiteral("nincs hozzá adatlap, a mentés kihagyja")});
        const auto fault = purchase::firstFailingCheck(itemEntries(items, tables));
        if (fault)
            problems.append({where(), fault->column, fault->fault.message});
        if (const auto earlier = repeated.earlierAlike(items))
            problems.append(
                {where(), {}, QStringLiteral("megegyezik a(z) %1. tétellel").arg(*earlier), true});
        checkFieldWidths(items, exporting::kPurchaseFields, where,
                         fault ? fault->column : QString(), problems);
        plausible.checkItem(items, where, problems);
    }
}

}  // namespace

QList<Problem> checkPeriod(const QString& year, const QString& quarter) {
    const QVariantList period{db::valueFromText(year, db::ValueKind::Integer), quarter};
    if (db::Query(QStringLiteral("select id from Torzs_Negyedev where id = ?"), {quarter})
            .rowCount() == 0)
        throw platform::Failure(QStringLiteral("Nincs ilyen negyedév: ") + quarter);
    db::Query records(QStringLiteral("select * from AdatlapInt where adatszolgev = ? and "
                                     "adatszolgnegyedev = ? order by adosajat"),
                      period);
    db::Query items(QStringLiteral("select * from AdatlapBR where beszerzev = ? and "
                                   "beszerznegyedev = ? order by adosajat, tetelsorszam"),
                    period);
    QHash<QString, int> keyCounts;
    for (; !records.eof(); records.next())
        ++keyCounts[records.text(QStringLiteral("Adosajat"))];
    records.first();
    QSet<QString> withItems;
    for (; !items.eof(); items.next())
        withItems.insert(items.text(QStringLiteral("Adosajat")));
    items.first();

    QList<Problem> recordProblems;
    const PlausibilityRules plausible(year, quarter);
    checkRecords(records, keyCounts, withItems, plausible, recordProblems);
    QList<Problem> itemProblems;
    checkItems(items, quarter, keyCounts, plausible, itemProblems);
    // Each registration number's record first, then its items.
    QList<Problem> problems;
    // An empty quarter is nothing to be sent, not a good one.
    if (records.rowCount() == 0)
        problems.append(
            {{},
             {},
             QStringLiteral("Nincs adatlap a(z) %1. év %2. negyedévére.").arg(year, quarter)});
    // The cover notes would name the placeholder addressee the program ships.
    if (const auto placeholders = platform::addresseePlaceholderWarning())
        problems.append({{}, {}, *placeholders, true});
    std::merge(recordProblems.begin(), recordProblems.end(), itemProblems.begin(),
               itemProblems.end(), std::back_inserter(problems),
               [](const Problem& item, const Problem& record) {
                   return item.where.section(u' ', 1, 1) < record.where.section(u' ', 1, 1);
               });
    return problems;
}

QString problemLine(const Problem& problem) {
    QString line = problem.warning ? QStringLiteral("Figyelmeztetés: ") : QString();
    if (problem.where.isEmpty())
        return line + problem.message;
    line += problem.where;
    if (!problem.column.isEmpty())
        line += QStringLiteral(", ") + problem.column;
    return line + QStringLiteral(": ") + problem.message;
}

bool anyError(const QList<Problem>& problems) {
    return std::any_of(problems.begin(), problems.end(),
                       [](const Problem& problem) { return !problem.warning; });
}

QString saveProblemList(const QString& year, const QString& quarter,
                        const QList<Problem>& problems) {
    const QString path = QStringLiteral("Listak/%1_%2_ellenorzes.txt").arg(year, quarter);
    platform::TextFile file(path);
    if (problems.isEmpty())
        file.writeLine(kNoProblem);
    for (const Problem& problem : problems)
        file.writeLine(problemLine(problem));
    file.close();
    const auto warnings = std::count_if(problems.begin(), problems.end(),
                                        [](const Problem& problem) { return problem.warning; });
    overview::recordCheck(year, quarter, static_cast<int>(problems.size() - warnings),
                          static_cast<int>(warnings));
    return path;
}

}  // namespace tools
