#include "period_check.h"

#include "address_check.h"
#include "db/query.h"
#include "db/row_reader.h"
#include "db/values.h"
#include "export/data_fields.h"
#include "institution/institution_records.h"
#include "institution/record_checks.h"
#include "overview/step_log.h"
#include "platform/codepage.h"
#include "platform/failure.h"
#include "platform/layout.h"
#include "platform/settings.h"
#include "plausibility.h"
#include "purchase/item_checks.h"

#include <QHash>

#include <optional>

namespace toolsmenu {

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

// The positions of the columns an item's checks read, looked up once for the statement.
struct ItemColumns {
    explicit ItemColumns(const db::RowReader& row)
        : adosajat(row.position(u"Adosajat")),
          year(row.position(u"Beszerzev")),
          number(row.position(u"Tetelsorszam")),
          month(row.position(u"Beszerzho")),
          kind(row.position(u"Termekszolg")),
          code(row.position(u"Vtszszolgkod")),
          name(row.position(u"Termszolgnev")),
          unit(row.position(u"Mennyisegiegyseg")),
          quantity(row.position(u"Vasaroltmenny")),
          source(row.position(u"Beszerzforras")),
          area(row.position(u"Felhasznter")),
          priceType(row.position(u"Artipus")),
          price(row.position(u"Tegysegar")),
          basePrice(row.position(u"Bazisegysegar")),
          previousValue(row.position(u"PreviousValue")),
          previousQuantity(row.position(u"PreviousQuantity")),
          hasRecord(row.position(u"HasRecord")) {
        for (const QString& column : purchase::kEnteredColumns)
            entered.append(row.position(column));
    }

    int adosajat, year, number, month, kind, code, name, unit, quantity, source, area, priceType,
        price, basePrice, previousValue, previousQuantity, hasRecord;
    QList<int> entered;
};

purchase::ItemEntries itemEntries(db::RowReader& item, const ItemColumns& at,
                                  const ItemTables& tables) {
    const QString kind = item.text(at.kind);
    const QString code = item.text(at.code);
    return {tables.months.value(item.text(at.month)),
            tables.kinds.value(kind),
            code,
            tables.groupName(kind, code),
            item.text(at.name),
            tables.units.value(item.text(at.unit)),
            item.text(at.quantity),
            tables.sources.value(item.text(at.source)),
            tables.areas.value(item.text(at.area)),
            tables.priceTypes.value(item.text(at.priceType)),
            item.text(at.price),
            item.text(at.basePrice)};
}

// The first failing check of the item; a code that its table lacks (the editor's list shows it
// empty) is named as such rather than as a value not filled in.
std::optional<purchase::ItemFault> itemFault(db::RowReader& item, const ItemColumns& at,
                                             const ItemTables& tables) {
    auto fault = purchase::firstFailingCheck(itemEntries(item, at, tables));
    if (!fault)
        return fault;
    const struct {
        const char16_t* column;
        int at;
        const Names& names;
    } coded[] = {{u"Termekszolg", at.kind, tables.kinds},
                 {u"Mennyisegiegyseg", at.unit, tables.units},
                 {u"Beszerzforras", at.source, tables.sources},
                 {u"Felhasznter", at.area, tables.areas},
                 {u"Artipus", at.priceType, tables.priceTypes}};
    for (const auto& table : coded) {
        if (fault->column != table.column)
            continue;
        const QString code = item.text(table.at);
        if (!code.isEmpty() && !table.names.contains(code))
            return purchase::missingCodeFault(fault->column, code);
    }
    return fault;
}

// The code tables a record's checks look up, read once for the whole period.
struct RecordTables {
    Names counties = namesOf(QStringLiteral("Torzs_KSHMEGYE"), QStringLiteral("Nev"));
    Names postalCodes = namesOf(QStringLiteral("Torzs_IRSZ"), QStringLiteral("id"));
    Names forms = namesOf(QStringLiteral("Torzs_gazdfor"), QStringLiteral("NEV"));
};

institution::RecordEntries recordEntries(db::RowReader& record, const RecordTables& tables) {
    const auto text = [&record](const char16_t* column) { return record.text(column); };
    // The names are looked up afresh, as the editor does when it shows the record, so a code
    // dropped from its table shows.
    return {text(u"Adosajat"),
            text(u"Adatszolgev"),
            text(u"Adatszolgnegyedev"),
            text(u"Intnev"),
            tables.counties.value(text(u"Sz_megyekod")),
            text(u"Sz_telepuleskod"),
            institution::settlementName(text(u"Sz_telepuleskod")),
            tables.postalCodes.value(text(u"Irsz")),
            text(u"Utca"),
            text(u"Hsz"),
            text(u"Intag"),
            institution::sectorName(text(u"Intag")),
            tables.forms.value(text(u"Gazdfor")),
            text(u"I_ANTSZkod"),
            text(u"Toltnev"),
            text(u"Tolttel"),
            text(u"Toltmail"),
            text(u"Vezetonev"),
            text(u"Vezetotel"),
            text(u"Vezetomail")};
}

// Every value of the row that would not fit its field in the data file, unless a check has
// already named its column: the save run would refuse the provider.
template <std::size_t N, typename Where>
void checkFieldWidths(db::RowReader& row, const std::array<exporting::DataField, N>& fields,
                      const Where& where, const QString& checkedColumn, QList<Problem>& problems) {
    for (std::size_t i = 0; i < N; ++i) {
        const QString column = QString::fromLatin1(fields[i].column);
        if (column.compare(checkedColumn, Qt::CaseInsensitive) == 0)
            continue;
        if (const auto message = exporting::fieldMisfit(fields[i], row.text(static_cast<int>(i))))
            problems.append({where(), column, *message});
    }
}

// The period's records with the number of records of each one's registration number, whether it
// has items, and the figures the plausibility rules compare.
QList<Problem> checkRecords(const QVariantList& period, const PlausibilityRules& plausible) {
    db::RowReader records(
        QStringLiteral("select r.*, (select count(*) from AdatlapInt k where k.Adosajat = "
                       "r.Adosajat and k.Adatszolgev = r.Adatszolgev and k.Adatszolgnegyedev = "
                       "r.Adatszolgnegyedev) as KeyCount, QuarterValue, pv.PreviousValue from "
                       "AdatlapInt r ") +
        PlausibilityRules::kRecordJoin +
        QStringLiteral(" where r.Adatszolgev = ? and r.Adatszolgnegyedev = ? order by r.Adosajat"));
    records.run(plausible.recordJoinValues() + period);
    const int keyCount = records.position(u"KeyCount");
    const int value = records.position(u"QuarterValue");
    const int previous = records.position(u"PreviousValue");
    // The code tables are read with the first record: an empty period needs none.
    std::optional<RecordTables> tables;
    std::optional<SettlementAddresses> addresses;
    QList<Problem> problems;
    while (records.next()) {
        if (!tables) {
            tables.emplace();
            addresses.emplace();
        }
        const institution::RecordEntries entries = recordEntries(records, *tables);
        const QString where =
            QStringLiteral("Adatlap ") + keyText(entries.adosajat, entries.year, entries.quarter);
        if (const auto question = institution::checkDigitQuestion(entries))
            problems.append({where, QStringLiteral("Adosajat"), *question, true});
        const bool keyTaken = records.number(keyCount).value_or(0) > 1;
        const auto fault = institution::firstFailingCheck(entries, [&] { return keyTaken; });
        if (fault)
            problems.append({where, fault->column, fault->fault.message});
        for (const auto& mismatch :
             addresses->mismatches(records.text(u"Sz_telepuleskod"), records.text(u"Sz_megyekod"),
                                   records.text(u"Irsz")))
            problems.append({where, mismatch.column, mismatch.message, true});
        checkFieldWidths(
            records, exporting::kInstitutionFields, [&] { return where; },
            fault ? fault->column : QString(), problems);
        const std::optional<double> quarterValue = records.number(value);
        if (!quarterValue)
            problems.append({where, {}, QStringLiteral("nincs beszerzési tétele")});
        plausible.checkRecordValue(quarterValue, records.number(previous), where, problems);
    }
    return problems;
}

// Remembers the items of one record by their entered values, to find one entered twice.
class RepeatedItems {
public:
    // The number of the record's earlier item alike in every entered value; nothing when there
    // is none. The items come ordered by record.
    std::optional<QString> earlierAlike(db::RowReader& item, const ItemColumns& at) {
        const QString adosajat = item.text(at.adosajat);
        if (adosajat != record_) {
            record_ = adosajat;
            numbers_.clear();
        }
        QStringList texts;
        for (int column : at.entered)
            texts.append(item.text(column));
        const QString key = purchase::enteredValuesKey(texts);
        if (const auto found = numbers_.constFind(key); found != numbers_.constEnd())
            return *found;
        numbers_.insert(key, item.text(at.number));
        return std::nullopt;
    }

private:
    QString record_;
    QHash<QString, QString> numbers_;
};

// The period's items as they stream from the engine, each with whether its registration number
// has a record and the previous quarter's figures of its kind, group and unit.
QList<Problem> checkItems(const QVariantList& period, const QString& quarter,
                          const PlausibilityRules& plausible) {
    db::RowReader items(
        QStringLiteral("select b.*, p.PreviousValue, p.PreviousQuantity, exists (select 1 from "
                       "AdatlapInt k where k.Adosajat = b.Adosajat and k.Adatszolgev = "
                       "b.Beszerzev and k.Adatszolgnegyedev = b.Beszerznegyedev) as HasRecord "
                       "from AdatlapBR b ") +
        PlausibilityRules::kItemJoin +
        QStringLiteral(" where b.Beszerzev = ? and b.Beszerznegyedev = ? order by b.Adosajat, "
                       "b.Tetelsorszam"));
    items.run(plausible.itemJoinValues() + period);
    const ItemColumns at(items);
    std::optional<ItemTables> tables;  // read with the first item
    RepeatedItems repeated;
    QList<Problem> problems;
    while (items.next()) {
        if (!tables)
            tables.emplace(quarter);
        // Named only when there is a problem: most items have none.
        const auto where = [&] {
            return QStringLiteral("Tétel ") +
                   keyText(items.text(at.adosajat), items.text(at.year), quarter) +
                   QStringLiteral(" %1.").arg(items.text(at.number));
        };
        if (items.number(at.hasRecord).value_or(0) == 0)
            problems.append(
                {where(), {}, QStringLiteral("nincs hozzá adatlap, a mentés kihagyja")});
        const auto fault = itemFault(items, at, *tables);
        if (fault)
            problems.append({where(), fault->column, fault->fault.message});
        if (const auto earlier = repeated.earlierAlike(items, at))
            problems.append(
                {where(), {}, QStringLiteral("megegyezik a(z) %1. tétellel").arg(*earlier), true});
        checkFieldWidths(items, exporting::kPurchaseFields, where,
                         fault ? fault->column : QString(), problems);
        plausible.checkItem(
            {items.number(at.price), items.number(at.basePrice), items.number(at.quantity),
             items.number(at.previousValue), items.number(at.previousQuantity)},
            where, problems);
    }
    return problems;
}

}  // namespace

QList<Problem> checkPeriod(const QString& year, const QString& quarter) {
    const QVariantList period{db::valueFromText(year, db::ValueKind::Integer), quarter};
    if (db::Query(QStringLiteral("select id from Torzs_Negyedev where id = ?"), {quarter})
            .rowCount() == 0)
        throw platform::Failure(QStringLiteral("Nincs ilyen negyedév: ") + quarter);
    const PlausibilityRules plausible(year, quarter);
    const QList<Problem> recordProblems = checkRecords(period, plausible);
    const QList<Problem> itemProblems = checkItems(period, quarter, plausible);
    QList<Problem> problems;
    // An empty quarter is nothing to be sent, not a good one.
    if (db::Query(QStringLiteral("select 1 from AdatlapInt where Adatszolgev = ? and "
                                 "Adatszolgnegyedev = ? limit 1"),
                  period)
            .rowCount() == 0)
        problems.append(
            {{},
             {},
             QStringLiteral("Nincs adatlap a(z) %1. év %2. negyedévére.").arg(year, quarter)});
    // The cover notes would name the placeholder addressee the program ships.
    if (const QStringList keys = platform::addresseePlaceholders(); !keys.isEmpty())
        problems.append({{},
                         {},
                         QStringLiteral("A kísérőjegyzék címzettje még a program mintaadata; a "
                                        "gyűjtő szervezet adatait a velkor.ini [addressee] "
                                        "csoportjában kell megadni: ") +
                             keys.join(QStringLiteral(", ")),
                         true});
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
    const QString path =
        platform::kListingFolder + QStringLiteral("%1_%2_ellenorzes.txt").arg(year, quarter);
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

}  // namespace toolsmenu
