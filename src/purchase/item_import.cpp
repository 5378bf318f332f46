#include "item_import.h"

#include "csv_table.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/statement.h"
#include "db/values.h"
#include "export/data_fields.h"
#include "institution/institution_records.h"
#include "item_checks.h"
#include "platform/codepage.h"
#include "platform/csv_file.h"
#include "platform/failure.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace purchase {

namespace {

// The columns a CSV file may hold, in the order the checks name them: the AdatlapBR column,
// the label the checks use, and the other names a header may give it (the editor's labels).
struct ImportColumn {
    QString name;
    QString label;
    QStringList otherNames;
};

enum Column {
    Month,
    Kind,
    Code,
    Name,
    Unit,
    Quantity,
    Source,
    Area,
    PriceType,
    Price,
    BasePrice,
    ColumnCount
};

const ImportColumn kColumns[ColumnCount] = {
    {QStringLiteral("Beszerzho"), QStringLiteral("Beszerzés hónapja"), {}},
    {QStringLiteral("Termekszolg"),
     QStringLiteral("Termék vagy szolgáltatás"),
     {QStringLiteral("Termék, vagyszolgáltatás")}},
    {QStringLiteral("Vtszszolgkod"),
     QStringLiteral("Termékkód/szolgáltatáskód"),
     {QStringLiteral("Azonosító")}},
    {QStringLiteral("Termszolgnev"),
     QStringLiteral("Termék/szolgáltatás neve"),
     {QStringLiteral("Termék/szolgáltatás megnevezése"), QStringLiteral("Termék megnevezése"),
      QStringLiteral("Szolgáltatás megnevezése")}},
    {QStringLiteral("Mennyisegiegyseg"), QStringLiteral("Mennyiségi egység"), {}},
    {QStringLiteral("Vasaroltmenny"), QStringLiteral("Vásárolt mennyiség"), {}},
    {QStringLiteral("Beszerzforras"),
     QStringLiteral("Beszerzési forrás"),
     {QStringLiteral("Beszerzésiforrás")}},
    {QStringLiteral("Felhasznter"), QStringLiteral("Felhasználási terület"), {}},
    {QStringLiteral("Artipus"), QStringLiteral("Ártípus"), {}},
    {QStringLiteral("Tegysegar"),
     QStringLiteral("Termék egységár"),
     {QStringLiteral("Termék nettó egységára (Ft)")}},
    {QStringLiteral("Bazisegysegar"),
     QStringLiteral("Termék bázisegységár"),
     {QStringLiteral("Termék bázis egységára (Ft)")}},
};

// Where a column stands among kColumns.
int columnOrder(const QString& name) {
    const auto* column =
        std::find_if(std::begin(kColumns), std::end(kColumns),
                     [&name](const ImportColumn& each) { return each.name == name; });
    return static_cast<int>(column - std::begin(kColumns));
}

// The columns the import fills in itself.
const QStringList kFilledByImport = {
    QStringLiteral("Adosajat"),     QStringLiteral("Beszerzev"), QStringLiteral("Beszerznegyedev"),
    QStringLiteral("Tetelsorszam"), QStringLiteral("Termitj"),   QStringLiteral("Vtszszolg")};

// The columns of a checked row's values, in their order: AdatlapBR's from Beszerzho on but for
// the item number. The quantity and the prices are numbers, the rest texts.
struct ValueColumn {
    int field;  // among exporting::kPurchaseFields
    std::optional<NumberKind> number = std::nullopt;
};
constexpr ValueColumn kValueColumns[] = {
    {exporting::purchaseField("Beszerzho")},
    {exporting::purchaseField("Termekszolg")},
    {exporting::purchaseField("Vtszszolgkod")},
    {exporting::purchaseField("Termitj")},
    {exporting::purchaseField("Vtszszolg")},
    {exporting::purchaseField("Termszolgnev")},
    {exporting::purchaseField("Mennyisegiegyseg")},
    {exporting::purchaseField("Vasaroltmenny"), NumberKind::Whole},
    {exporting::purchaseField("Beszerzforras")},
    {exporting::purchaseField("Felhasznter")},
    {exporting::purchaseField("Artipus")},
    {exporting::purchaseField("Tegysegar"), NumberKind::Decimal},
    {exporting::purchaseField("Bazisegysegar"), NumberKind::Decimal},
};

const exporting::DataField& fieldOf(const ValueColumn& column) {
    return exporting::kPurchaseFields[static_cast<std::size_t>(column.field)];
}

// A checked row's value: a text, or in a number's column the number, nothing for an empty cell.
struct RowValue {
    QString text;
    std::optional<double> number;
};
using RowValues = std::array<RowValue, std::size(kValueColumns)>;

// A number's text as a stored value's (db::textOf).
QString numberText(double number, NumberKind kind) {
    return kind == NumberKind::Whole ? QString::number(static_cast<qint64>(number))
                                     : db::floatText(number);
}

// The value as text, as db::textOf gives the stored value.
QString valueText(const ValueColumn& column, const RowValue& value) {
    if (!column.number)
        return value.text;
    return value.number ? numberText(*value.number, *column.number) : QString();
}

// The length of the number's text, found without making it.
qsizetype numberLength(double number, NumberKind kind) {
    char digits[32];
    if (kind == NumberKind::Decimal)
        return static_cast<qsizetype>(db::floatDigits(number, digits).size());
    return std::to_chars(digits, std::end(digits), static_cast<qint64>(number)).ptr - digits;
}

// The message for a value that the data file's field cannot carry whole. A number is measured by
// its digits, its text made only for the message.
std::optional<QString> valueMisfit(const ValueColumn& column, const RowValue& value) {
    const exporting::DataField& field = fieldOf(column);
    if (!column.number)
        return exporting::fieldMisfit(field, value.text);
    if (!value.number || exporting::fitsField(field, numberLength(*value.number, *column.number)))
        return std::nullopt;
    return exporting::fieldMisfit(field, numberText(*value.number, *column.number));
}

constexpr int kNameWidth = 80;
// The data file holds an item number in five digits.
constexpr int kHighestItemNumber = 99999;

// The column's label in the purchase editor, without its colon.
QString editorLabel(int column) {
    return kColumns[column].otherNames.value(0, kColumns[column].label);
}

// A header name compared without regard to case, surrounding blanks or a closing colon.
QString headerKey(QString name) {
    name = name.trimmed();
    if (name.endsWith(u':'))
        name.chop(1);
    return name.trimmed().toCaseFolded();
}

// A code table read once: its rows by ID, by the ID's number (a spreadsheet drops leading
// zeros) and by the name the editor shows.
class CodeTable {
public:
    struct Entry {
        QString id;
        QString name;
        QString quarter;  // Torzs_ho only
    };

    explicit CodeTable(const QString& table, bool withQuarter = false) {
        db::Query rows(
            QStringLiteral("select ID, Nev%1 from %2")
                .arg(withQuarter ? QStringLiteral(", Negyedev") : QString(), db::quoteName(table)));
        for (; !rows.eof(); rows.next()) {
            const Entry entry{rows.text(0), rows.text(1), withQuarter ? rows.text(2) : QString()};
            byId_.insert(entry.id, entries_.size());
            bool number = false;
            const qlonglong value = entry.id.toLongLong(&number);
            if (number)
                byNumber_.insert(value, entries_.size());
            byName_.insert(entry.name.toCaseFolded(), entries_.size());
            entries_.append(entry);
        }
    }

    // The entry a cell names. A file repeats a few codes: each text is looked up once.
    const Entry* find(const QString& text) {
        auto found = found_.constFind(text);
        if (found == found_.constEnd())
            found = found_.insert(text, lookUp(text));
        return *found < 0 ? nullptr : &entries_[*found];
    }

private:
    // The entry's position, -1 for none.
    qsizetype lookUp(const QString& text) const {
        if (const auto at = byId_.find(text); at != byId_.end())
            return *at;
        bool number = false;
        const qlonglong value = text.toLongLong(&number);
        if (const auto at = byNumber_.find(value); number && at != byNumber_.end())
            return *at;
        if (const auto at = byName_.find(text.toCaseFolded()); at != byName_.end())
            return *at;
        return -1;
    }

    QList<Entry> entries_;
    QHash<QString, qsizetype> byId_;
    QHash<qlonglong, qsizetype> byNumber_;
    QHash<QString, qsizetype> byName_;
    QHash<QString, qsizetype> found_;
};

// Checks the rows and turns each into the values of an AdatlapBR row.
class RowChecker {
public:
    RowChecker(const ReportKey& key, const QList<int>& positions, QList<ImportFault>& faults)
        : key_(key), positions_(positions), faults_(faults) {}

    // The row's values from Beszerzho to Bazisegysegar in AdatlapBR's order, or nothing when
    // the row has faults, which are added to the list.
    std::optional<RowValues> check(const CsvRow& row) {
        line_ = row.line;
        faultCount_ = faults_.size();
        std::fill(std::begin(ids_), std::end(ids_), QString());
        for (int column = 0; column < ColumnCount; ++column)
            cells_[column] = row.fields.at(positions_[column]).trimmed();
        // Further checks would only quote such a value again.
        if (anyControlCharacter())
            return std::nullopt;
        ItemEntries entries;
        entries.month = shownMonth();
        entries.kind = shown(Kind, kinds_);
        entries.code = cells_[Code];
        const std::optional<Group> group = lookUpGroup(entries.kind);
        entries.groupName = group ? group->name : groupName_;
        entries.name = cells_[Name];
        entries.unit = shown(Unit, units_);
        entries.quantity = cells_[Quantity];
        entries.source = shown(Source, sources_);
        entries.area = shown(Area, areas_);
        entries.priceType = shown(PriceType, priceTypes_);
        entries.price = cells_[Price];
        entries.basePrice = cells_[BasePrice];
        entries.points = PointsBesideComma::GroupThousands;
        if (const auto fault = firstFailingCheck(entries))
            faults_.append({line_, fault->column, fault->fault.message});
        const RowValues values = storedValues(group);
        checkFieldWidths(values);
        if (faults_.size() == faultCount_)
            return values;
        // The row's faults in the order of its columns, as the editor's checks run.
        std::stable_sort(faults_.begin() + faultCount_, faults_.end(),
                         [](const ImportFault& one, const ImportFault& other) {
                             return columnOrder(one.column) < columnOrder(other.column);
                         });
        return std::nullopt;
    }

private:
    void fault(Column column, const QString& message) {
        faults_.append({line_, kColumns[column].name, message});
    }

    bool anyControlCharacter() {
        for (int column = 0; column < ColumnCount; ++column) {
            if (const auto control =
                    CheckMethods::TextFault(kColumns[column].label, cells_[column]))
                fault(static_cast<Column>(column), control->message);
        }
        return faults_.size() > faultCount_;
    }

    // The text the editor's list would show for the cell's code; a code missing from its table
    // is a fault and keeps its own text, so the check for an empty list does not fire as well.
    QString shown(Column column, CodeTable& table) {
        const QString& cell = cells_[column];
        if (cell.isEmpty())
            return {};
        if (const auto* entry = table.find(cell)) {
            ids_[column] = entry->id;
            return entry->name;
        }
        fault(column, valueFault(kColumns[column].label, cell,
                                 QStringLiteral("nem szerepel a kódtáblában")));
        return cell;
    }

    // The editor offers only the months of the record's quarter.
    QString shownMonth() {
        const QString name = shown(Month, months_);
        const auto* entry = months_.find(cells_[Month]);
        if (entry && entry->quarter != key_.quarter)
            fault(Month,
                  valueFault(kColumns[Month].label, cells_[Month],
                             QStringLiteral("nem a(z) %1. negyedév hónapja").arg(key_.quarter)));
        return name;
    }

    // The group of the item's kind named by the code, as the editor's look-up finds it.
    std::optional<Group> lookUpGroup(const QString& shownKind) {
        groupName_.clear();
        const QString table = shownKind.isEmpty() ? QString() : groupTableOf(ids_[Kind]);
        const QString& code = cells_[Code];
        if (table.isEmpty() || code.isEmpty() ||
            CheckMethods::DigitsFault({}, code, static_cast<int>(code.size())))
            return std::nullopt;
        auto known = groups_.constFind({table, code});
        if (known == groups_.constEnd())
            known = groups_.insert({table, code}, purchase::lookUpGroup(query_, table, code));
        if (!*known)
            groupName_ = kGroupNotFound;
        return *known;
    }

    RowValues storedValues(const std::optional<Group>& group) {
        const auto quantity = number(Quantity, NumberKind::Whole);
        const auto price = number(Price, NumberKind::Decimal);
        const auto basePrice = number(BasePrice, NumberKind::Decimal);
        if (cells_[Name].size() > kNameWidth)
            fault(Name, QStringLiteral("A '%1' nevű mező legfeljebb %2 karakter lehet!!!")
                            .arg(kColumns[Name].label)
                            .arg(kNameWidth));
        return {{{ids_[Month], {}},
                 {ids_[Kind], {}},
                 {cells_[Code], {}},
                 {group ? group->itj : QString(), {}},
                 {group ? group->number : QString(), {}},
                 {cells_[Name], {}},
                 {ids_[Unit], {}},
                 {{}, quantity},
                 {ids_[Source], {}},
                 {ids_[Area], {}},
                 {ids_[PriceType], {}},
                 {{}, price},
                 {{}, basePrice}}};
    }

    // Every entered value the purchase data file could not carry whole, unless its column has a
    // fault already. The key is the record's and the item number is bounded by the import itself.
    void checkFieldWidths(const RowValues& values) {
        for (std::size_t at = 0; at < values.size(); ++at) {
            const QLatin1StringView column(fieldOf(kValueColumns[at]).column);
            if (hasFault(column))
                continue;
            if (const auto message = valueMisfit(kValueColumns[at], values[at]))
                faults_.append({line_, column, *message});
        }
    }

    bool hasFault(QAnyStringView column) const {
        return std::any_of(faults_.cbegin() + faultCount_, faults_.cend(),
                           [&](const ImportFault& fault) { return fault.column == column; });
    }

    // The cell's number; a fault unless the checks named the column already.
    std::optional<double> number(Column column, NumberKind kind) {
        const QString& cell = cells_[column];
        if (cell.isEmpty())
            return {};
        const NumberReading reading = readNumber(cell, kind, PointsBesideComma::GroupThousands);
        if (reading.value)
            return reading.value;
        if (!hasFault(kColumns[column].name))
            fault(column, valueFault(kColumns[column].label, cell, reading.problem));
        return {};
    }

    const ReportKey& key_;
    const QList<int>& positions_;
    QList<ImportFault>& faults_;
    CodeTable months_{QStringLiteral("Torzs_ho"), true};
    CodeTable kinds_{QStringLiteral("Torzs_Termekszolg")};
    CodeTable units_{QStringLiteral("Torzs_Mennyisegiegyseg")};
    CodeTable sources_{QStringLiteral("Torzs_Beszerzesiforras")};
    CodeTable areas_{QStringLiteral("Torzs_Felhasznter")};
    CodeTable priceTypes_{QStringLiteral("Torzs_Artipus")};
    db::Query query_;
    QHash<std::pair<QString, QString>, std::optional<Group>> groups_;  // by table and code
    QString groupName_;
    int line_ = 0;
    qsizetype faultCount_ = 0;
    QString cells_[ColumnCount];
    QString ids_[ColumnCount];
};

// Where each import column stands in the header; faults for names that are unknown, repeated,
// filled in by the import or missing.
QList<int> columnPositions(const CsvReader& csv, QList<ImportFault>& faults) {
    QHash<QString, int> byName;
    for (int column = 0; column < ColumnCount; ++column) {
        byName.insert(headerKey(kColumns[column].name), column);
        byName.insert(headerKey(kColumns[column].label), column);
        for (const QString& other : kColumns[column].otherNames)
            byName.insert(headerKey(other), column);
    }
    QList<int> positions(ColumnCount, -1);
    for (int at = 0; at < csv.header().size(); ++at) {
        const QString& name = csv.header()[at];
        auto fault = [&](const QString& message) {
            faults.append({csv.headerLine(), platform::excerpt(name.trimmed()), message});
        };
        const auto known = byName.find(headerKey(name));
        if (known == byName.end()) {
            const bool filled = kFilledByImport.contains(name.trimmed(), Qt::CaseInsensitive);
            fault(filled ? QStringLiteral("Ezt az oszlopot az importálás tölti ki; hagyja el!")
                         : QStringLiteral("Ismeretlen oszlop! Az oszlopot a beszerzési adatlap "
                                          "felirata (pl. '%1') vagy az oszlop neve (pl. %2) "
                                          "nevezze meg.")
                               .arg(editorLabel(Quantity), kColumns[Quantity].name));
        } else if (positions[*known] >= 0) {
            fault(QStringLiteral("Az oszlop kétszer szerepel a fejlécben!"));
        } else {
            positions[*known] = at;
        }
    }
    for (int column = 0; column < ColumnCount; ++column) {
        if (positions[column] < 0)
            faults.append({csv.headerLine(), kColumns[column].name,
                           QStringLiteral("Hiányzik ez az oszlop a fejlécből: '%1'!")
                               .arg(editorLabel(column))});
    }
    return positions;
}

// Why the items cannot be filed under the key: no record holds it, or more than one does.
std::optional<QString> recordRefusal(const ReportKey& key) {
    const institution::ReportKey recordKey{key.regNo, key.year, key.quarter};
    // A year that is not a number holds no record.
    bool numeric = false;
    key.year.trimmed().toInt(&numeric);
    const int records = numeric ? institution::countRecords(recordKey) : 0;
    if (records == 0)
        return QStringLiteral("Nincs adatlap a(z) %1 adószámmal, %2. év %3. negyedévre!")
            .arg(key.regNo, key.year, key.quarter);
    if (records > 1)
        return institution::repeatedKeysText({recordKey});
    return std::nullopt;
}

int nextItemNumber(const ReportKey& key) {
    db::Query highest(QStringLiteral("select max(tetelsorszam) from AdatlapBR where adosajat = ? "
                                     "and beszerzev = ? and beszerznegyedev = ?"),
                      {key.regNo, key.year, key.quarter});
    return highest.value(0).toInt() + 1;
}

// The entered values of a checked row (its values without the group's copied codes) as one text.
QString enteredValuesKey(const RowValues& values) {
    QStringList texts;
    for (std::size_t at = 0; at < values.size(); ++at) {
        if (kEnteredColumns.contains(QLatin1StringView(fieldOf(kValueColumns[at]).column)))
            texts.append(valueText(kValueColumns[at], values[at]));
    }
    return purchase::enteredValuesKey(texts);
}

// Rows stored by one statement, which shares the engine's work for a statement among them.
constexpr qsizetype kRowsPerInsert = 64;
// The values bound to a statement storing rows: the key's three, bound once for all rows, then
// for each row its item number and its checked values.
constexpr int kKeyPlaces = 3;
constexpr int kRowPlaces = 1 + static_cast<int>(std::size(kValueColumns));

QString insertStatement(qsizetype rows) {
    QStringList columns = {QStringLiteral("Adosajat"), QStringLiteral("Beszerzev"),
                           QStringLiteral("Beszerznegyedev"), QStringLiteral("Tetelsorszam")};
    for (const ValueColumn& column : kValueColumns)
        columns.append(QLatin1StringView(fieldOf(column).column));
    QStringList tuples;
    for (qsizetype row = 0; row < rows; ++row) {
        QStringList places;
        for (int key = 1; key <= kKeyPlaces; ++key)
            places.append(QStringLiteral("?%1").arg(key));
        for (int place = 1; place <= kRowPlaces; ++place)
            places.append(QStringLiteral("?%1").arg(kKeyPlaces + row * kRowPlaces + place));
        tuples.append(u'(' + places.join(QStringLiteral(", ")) + u')');
    }
    return QStringLiteral("insert into AdatlapBR (%1) values %2")
        .arg(columns.join(QStringLiteral(", ")), tuples.join(QStringLiteral(", ")));
}

// Stores the checked rows as items of the record, numbered on from its highest item number, in
// one transaction that is kept only when commit() is called.
class ItemWriter {
public:
    explicit ItemWriter(const ReportKey& key) : key_(key) {
        firstNumber_ = nextItemNumber(key);
        db::Query stored(QStringLiteral("select Tetelsorszam, %1 from AdatlapBR where adosajat = ? "
                                        "and beszerzev = ? and beszerznegyedev = ?")
                             .arg(kEnteredColumns.join(QStringLiteral(", "))),
                         {key.regNo, key.year, key.quarter});
        for (; !stored.eof(); stored.next()) {
            QStringList texts;
            for (int column = 1; column < stored.fieldCount(); ++column)
                texts.append(stored.text(column));
            storedItems_.insert(purchase::enteredValuesKey(texts), stored.text(0));
        }
        db::beginTransaction();
    }
    ~ItemWriter() {
        if (!committed_)
            db::rollbackTransaction();
    }

    // The number of a stored item of the record alike to the row in every entered value.
    std::optional<QString> storedAlike(const RowValues& values) const {
        // Most imports go to a record without items: no key need be made.
        if (storedItems_.isEmpty())
            return std::nullopt;
        const auto at = storedItems_.constFind(enteredValuesKey(values));
        return at == storedItems_.constEnd() ? std::nullopt : std::optional(*at);
    }

    int firstNumber() const { return firstNumber_; }

    // Stores the row, kRowsPerInsert rows at a time.
    void write(RowValues values) {
        pending_.append(std::move(values));
        if (pending_.size() == kRowsPerInsert)
            store(insert_);
    }

    void commit(ImportResult& result) {
        // The rows left over take a statement of their own length.
        if (!pending_.isEmpty()) {
            db::Statement rest(insertStatement(pending_.size()), keyValues());
            store(rest);
        }
        db::commitTransaction();
        committed_ = true;
        result.firstNumber = firstNumber_;
        result.imported = written_;
    }

private:
    QVariantList keyValues() const { return {key_.regNo, key_.year.toInt(), key_.quarter}; }

    // Stores the pending rows with the statement made for as many.
    void store(db::Statement& insert) {
        insert.reset();
        int position = kKeyPlaces;
        for (const RowValues& row : std::as_const(pending_)) {
            insert.bindInteger(++position, firstNumber_ + written_++);
            for (std::size_t at = 0; at < row.size(); ++at)
                bind(insert, ++position, kValueColumns[at], row[at]);
        }
        insert.run();
        pending_.clear();
    }

    static void bind(db::Statement& insert, int position, const ValueColumn& column,
                     const RowValue& value) {
        if (!column.number)
            insert.bindText(position, value.text);
        else if (!value.number)
            insert.bindNull(position);
        else if (*column.number == NumberKind::Whole)
            insert.bindInteger(position, static_cast<qint64>(*value.number));
        else
            insert.bindReal(position, *value.number);
    }

    const ReportKey& key_;
    int firstNumber_ = 0;
    int written_ = 0;
    QHash<QString, QString> storedItems_;
    QList<RowValues> pending_;
    // Prepared once, run for every kRowsPerInsert rows; the key stays bound.
    db::Statement insert_{insertStatement(kRowsPerInsert), keyValues()};
    bool committed_ = false;
};

// Collects the faults of the failing rows, listing those of the first kListedRows.
void addRowFaults(ImportResult& result, const QList<ImportFault>& faults) {
    if (++result.failedRows <= kListedRows)
        result.faults.append(faults);
}

// Checks and stores the rows after the header; once a row fails, the rest are only checked, up
// to the row where the item numbers run out.
void importRows(CsvReader& csv, const ReportKey& key, const QList<int>& positions,
                const ImportOptions& options, ImportResult& result) {
    QList<ImportFault> rowFaults;
    RowChecker checker(key, positions, rowFaults);
    ItemWriter writer(key);
    int rows = 0;
    for (auto row = csv.next(); row; row = csv.next()) {
        ++rows;
        rowFaults.clear();
        std::optional<RowValues> values;
        if (row->fields.size() != csv.header().size()) {
            rowFaults.append({row->line,
                              {},
                              QStringLiteral("A sorban %1 mező van, a fejlécben %2 oszlop!")
                                  .arg(row->fields.size())
                                  .arg(csv.header().size())});
        } else if ((values = checker.check(*row)) && !options.allowDuplicates) {
            if (const auto stored = writer.storedAlike(*values)) {
                rowFaults.append({row->line,
                                  {},
                                  QStringLiteral("Ez a tétel már szerepel az adatlapon (%1. "
                                                 "tétel)!")
                                      .arg(*stored)});
                ++result.duplicateRows;
            }
        }
        // Every row is given a number, so the first past the highest is where they run out; the
        // file is refused whatever follows, so the rest of it is not read.
        const bool numbersRunOut = writer.firstNumber() + rows - 1 > kHighestItemNumber;
        if (numbersRunOut) {
            rowFaults.append(
                {row->line,
                 {},
                 QStringLiteral("Innen a tételsorszám meghaladná a(z) %1-et: egy adatlapon "
                                "legfeljebb ennyi tétel lehet!")
                     .arg(kHighestItemNumber)});
        }
        if (!rowFaults.isEmpty())
            addRowFaults(result, rowFaults);
        else if (result.failedRows == 0)
            writer.write(std::move(*values));
        if (numbersRunOut)
            break;
    }
    if (rows == 0)
        addRowFaults(result, {{0, {}, QStringLiteral("A CSV-fájlban nincs egy tétel sem!")}});
    if (result.failedRows == 0)
        writer.commit(result);
}

ImportResult importItems(QIODevice& file, const ReportKey& key, const ImportOptions& options) {
    ImportResult result;
    if (const std::optional<QString> refusal = recordRefusal(key)) {
        addRowFaults(result, {{0, {}, *refusal}});
        return result;
    }
    try {
        CsvReader csv(file);
        QList<ImportFault> headerFaults;
        const QList<int> positions = columnPositions(csv, headerFaults);
        if (!headerFaults.isEmpty()) {
            addRowFaults(result, headerFaults);
            return result;
        }
        importRows(csv, key, positions, options, result);
    } catch (const platform::Failure& malformed) {
        addRowFaults(result, {{0, {}, malformed.text()}});
    }
    return result;
}

}  // namespace

ImportResult importItemFile(const QString& csvPath, const ReportKey& key,
                            const ImportOptions& options) {
    const QString shown = QDir::toNativeSeparators(csvPath);
    const QFileInfo info(csvPath);
    ImportResult result;
    // A device or a pipe might never end.
    if (info.exists() && !info.isFile()) {
        addRowFaults(
            result,
            {{0, {}, QStringLiteral("A(z) %1 nem közönséges fájl, nem importálható.").arg(shown)}});
        return result;
    }
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly)) {
        addRowFaults(
            result,
            {{0,
              {},
              QStringLiteral("A(z) %1 fájl nem olvasható: %2").arg(shown, file.errorString())}});
        return result;
    }
    return importItems(file, key, options);
}

QString faultLine(const ImportFault& fault) {
    QStringList place;
    if (fault.line > 0)
        place.append(QStringLiteral("%1. sor").arg(fault.line));
    if (!fault.column.isEmpty())
        place.append(fault.column);
    return place.isEmpty()
               ? fault.message
               : place.join(QStringLiteral(", ")) + QStringLiteral(": ") + fault.message;
}

QStringList faultLines(const ImportResult& result) {
    QStringList lines;
    for (const ImportFault& fault : result.faults)
        lines.append(faultLine(fault));
    if (result.failedRows > kListedRows)
        lines.append(
            QStringLiteral("… és további %1 hibás sor.").arg(result.failedRows - kListedRows));
    return lines;
}

QString duplicateQuestion(const ImportResult& result) {
    return QStringLiteral(
               "A CSV-fájl %1 sora már szerepel az adatlapon. Újra importálja ezeket "
               "is?")
        .arg(result.duplicateRows);
}

QString faultListPath(const QString& csvPath) {
    const QFileInfo csv(csvPath);
    return csv.dir().filePath(csv.completeBaseName() + QStringLiteral("_hibak.txt"));
}

bool saveFaultList(const QString& csvPath, const ImportResult& result) {
    // Beside a device or a pipe (/dev/zero_hibak.txt) the list would land in a system folder.
    if (!QFileInfo(csvPath).isFile())
        return false;
    const QString path = faultListPath(csvPath);
    if (result.faults.isEmpty()) {
        // An earlier list left beside the file would be taken for this import's.
        platform::removeFile(path);
        return false;
    }
    platform::TextFile list(path);
    for (const QString& line : faultLines(result))
        list.writeLine(line);
    list.close();
    return true;
}

QList<AcceptedColumn> acceptedColumns() {
    QList<AcceptedColumn> columns;
    for (int column = 0; column < ColumnCount; ++column)
        columns.append({editorLabel(column), kColumns[column].name});
    return columns;
}

namespace {

QString firstValue(const QString& statement, const QVariantList& values = {}) {
    return db::Query(statement, values).text(0);
}

}  // namespace

void writeItemTemplate(const QString& path, const QString& quarter) {
    const auto firstName = [](const char* table) {
        return firstValue(
            QStringLiteral("select Nev from %1 order by ID").arg(QLatin1String(table)));
    };
    // A product item, its codes written as the editor's lists show them.
    const QStringList example{
        firstValue(QStringLiteral("select Nev from Torzs_ho where Negyedev = ? order by ID"),
                   {quarter}),
        firstName("Torzs_Termekszolg"),
        firstValue(QStringLiteral("select id from %1 order by id").arg(kProductGroupTable)),
        QStringLiteral("Amoxicillin 500 mg kapszula"),
        firstName("Torzs_Mennyisegiegyseg"),
        QStringLiteral("1 200"),
        firstName("Torzs_Beszerzesiforras"),
        firstName("Torzs_Felhasznter"),
        firstName("Torzs_Artipus"),
        QStringLiteral("1 250,50"),
        QStringLiteral("1 180,00")};
    QStringList header;
    for (const AcceptedColumn& column : acceptedColumns())
        header.append(column.label);
    platform::writeCsvFile(path, {header, example});
}

QString importSummary(const ImportResult& result, const ReportKey& key) {
    return QStringLiteral(
               "%1 tétel importálva a(z) %2 adószámú adatlapra (%3. év %4. negyedév), "
               "tételsorszám %5-%6.")
        .arg(result.imported)
        .arg(key.regNo, key.year, key.quarter)
        .arg(result.firstNumber)
        .arg(result.firstNumber + result.imported - 1);
}

}  // namespace purchase
