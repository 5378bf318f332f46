#include "item_import.h"

#include "csv_table.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/statement.h"
#include "db/values.h"
#include "export/data_fields.h"
#include "item_checks.h"
#include "platform/codepage.h"
#include "platform/failure.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cmath>
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

// The columns the import fills in itself.
const QStringList kFilledByImport = {
    QStringLiteral("Adosajat"),     QStringLiteral("Beszerzev"), QStringLiteral("Beszerznegyedev"),
    QStringLiteral("Tetelsorszam"), QStringLiteral("Termitj"),   QStringLiteral("Vtszszolg")};

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

QString quotedValue(const QString& label, const QString& value, const QString& problem) {
    return QStringLiteral("A '%1' nevű mezőben megadott \"%2\" %3!!!")
        .arg(label, platform::excerpt(value), problem);
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

    const Entry* find(const QString& text) const {
        if (const auto at = byId_.find(text); at != byId_.end())
            return &entries_[*at];
        bool number = false;
        const qlonglong value = text.toLongLong(&number);
        if (const auto at = byNumber_.find(value); number && at != byNumber_.end())
            return &entries_[*at];
        if (const auto at = byName_.find(text.toCaseFolded()); at != byName_.end())
            return &entries_[*at];
        return nullptr;
    }

private:
    QList<Entry> entries_;
    QHash<QString, qsizetype> byId_;
    QHash<qlonglong, qsizetype> byNumber_;
    QHash<QString, qsizetype> byName_;
};

// A number as a spreadsheet writes it: blanks between the digit groups, a decimal comma or
// point.
QString numberText(QString text) {
    text.remove(u' ');
    text.remove(QChar(0x00A0));
    text.remove(QChar(0x202F));
    return text.replace(u',', u'.');
}

std::optional<qlonglong> wholeNumber(const QString& text) {
    bool ok = false;
    const qlonglong value = QLocale::c().toLongLong(numberText(text), &ok);
    return ok ? std::optional(value) : std::nullopt;
}

std::optional<double> decimalNumber(const QString& text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(numberText(text), &ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

// Checks the rows and turns each into the values of an AdatlapBR row.
class RowChecker {
public:
    RowChecker(const ReportKey& key, const QList<int>& positions, QList<ImportFault>& faults)
        : key_(key), positions_(positions), faults_(faults) {}

    // The row's values from Beszerzho to Bazisegysegar in AdatlapBR's order, or nothing when
    // the row has faults, which are added to the list.
    std::optional<QVariantList> check(const CsvRow& row) {
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
        if (const auto fault = firstFailingCheck(entries))
            faults_.insert(faultCount_, {line_, fault->column, fault->fault.message});
        const QVariantList values = storedValues(group);
        checkFieldWidths(values);
        if (faults_.size() > faultCount_)
            return std::nullopt;
        return values;
    }

private:
    void fault(Column column, const QString& message) {
        faults_.append({line_, kColumns[column].name, message});
    }

    bool anyControlCharacter() {
        for (int column = 0; column < ColumnCount; ++column) {
            if (const auto control =
                    CheckMethods::ControlCharacterFault(kColumns[column].label, cells_[column]))
                fault(static_cast<Column>(column), control->message);
        }
        return faults_.size() > faultCount_;
    }

    // The text the editor's list would show for the cell's code; a code missing from its table
    // is a fault and keeps its own text, so the check for an empty list does not fire as well.
    QString shown(Column column, const CodeTable& table) {
        const QString& cell = cells_[column];
        if (cell.isEmpty())
            return {};
        if (const auto* entry = table.find(cell)) {
            ids_[column] = entry->id;
            return entry->name;
        }
        fault(column, quotedValue(kColumns[column].label, cell,
                                  QStringLiteral("nem szerepel a kódtáblában")));
        return cell;
    }

    // The editor offers only the months of the record's quarter.
    QString shownMonth() {
        const QString name = shown(Month, months_);
        const auto* entry = months_.find(cells_[Month]);
        if (entry && entry->quarter != key_.quarter)
            fault(Month,
                  quotedValue(kColumns[Month].label, cells_[Month],
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
        const QString cacheKey = table + u'/' + code;
        if (!groups_.contains(cacheKey))
            groups_.insert(cacheKey, purchase::lookUpGroup(query_, table, code));
        const auto group = groups_.value(cacheKey);
        if (!group)
            groupName_ = kGroupNotFound;
        return group;
    }

    QVariantList storedValues(const std::optional<Group>& group) {
        const auto quantity = number(Quantity, wholeNumber, QStringLiteral("nem egész szám"));
        const auto price = number(Price, decimalNumber, QStringLiteral("nem szám"));
        const auto basePrice = number(BasePrice, decimalNumber, QStringLiteral("nem szám"));
        if (cells_[Name].size() > kNameWidth)
            fault(Name, QStringLiteral("A '%1' nevű mező legfeljebb %2 karakter lehet!!!")
                            .arg(kColumns[Name].label)
                            .arg(kNameWidth));
        return {ids_[Month],
                ids_[Kind],
                cells_[Code],
                group ? group->itj : QString(),
                group ? group->number : QString(),
                cells_[Name],
                ids_[Unit],
                quantity,
                ids_[Source],
                ids_[Area],
                ids_[PriceType],
                price,
                basePrice};
    }

    // Every entered value the purchase data file could not carry whole, unless its column has a
    // fault already. The key is the record's and the item number is bounded by the import itself,
    // so they are left empty in the row laid out as the data file's fields.
    void checkFieldWidths(const QVariantList& values) {
        QVariantList row{QVariant(), QVariant(), QVariant(), values.at(0), QVariant()};
        row += values.mid(1);
        for (std::size_t i = 0; i < exporting::kPurchaseFields.size(); ++i) {
            const exporting::DataField& field = exporting::kPurchaseFields[i];
            const QString column = QString::fromLatin1(field.column);
            const bool faulted =
                std::any_of(faults_.begin() + faultCount_, faults_.end(),
                            [&](const ImportFault& fault) { return fault.column == column; });
            if (faulted)
                continue;
            if (const auto message = exporting::fieldMisfit(field, db::textOf(row.at(i))))
                faults_.append({line_, column, *message});
        }
    }

    template <typename Parse>
    QVariant number(Column column, Parse parse, const QString& problem) {
        const QString& cell = cells_[column];
        if (cell.isEmpty())
            return {};
        if (const auto value = parse(cell))
            return *value;
        fault(column, quotedValue(kColumns[column].label, cell, problem));
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
    QHash<QString, std::optional<Group>> groups_;
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

bool recordExists(const ReportKey& key) {
    db::Query record(QStringLiteral("select count(*) from AdatlapInt where Adosajat = ? and "
                                    "Adatszolgev = ? and Adatszolgnegyedev = ?"),
                     {key.regNo, key.year, key.quarter});
    return record.value(0).toInt() > 0;
}

int nextItemNumber(const ReportKey& key) {
    db::Query highest(QStringLiteral("select max(tetelsorszam) from AdatlapBR where adosajat = ? "
                                     "and beszerzev = ? and beszerznegyedev = ?"),
                      {key.regNo, key.year, key.quarter});
    return highest.value(0).toInt() + 1;
}

// The entered values of a checked row (its values without the group's copied codes) as one text.
QString enteredValuesKey(const QVariantList& values) {
    QStringList texts;
    for (qsizetype at = 0; at < values.size(); ++at) {
        if (at != 3 && at != 4)  // Termitj, Vtszszolg
            texts.append(db::textOf(values[at]));
    }
    return purchase::enteredValuesKey(texts);
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
    std::optional<QString> storedAlike(const QVariantList& values) const {
        // Most imports go to a record without items: no key need be made.
        if (storedItems_.isEmpty())
            return std::nullopt;
        const auto at = storedItems_.constFind(enteredValuesKey(values));
        return at == storedItems_.constEnd() ? std::nullopt : std::optional(*at);
    }

    int firstNumber() const { return firstNumber_; }

    void write(const QVariantList& values) {
        insert_.rebind(QVariantList{key_.regNo, year_, key_.quarter, firstNumber_ + written_} +
                       values);
        insert_.run();
        ++written_;
    }

    void commit(ImportResult& result) {
        db::commitTransaction();
        committed_ = true;
        result.firstNumber = firstNumber_;
        result.imported = written_;
    }

private:
    const ReportKey& key_;
    const int year_ = key_.year.toInt();
    int firstNumber_ = 0;
    int written_ = 0;
    QHash<QString, QString> storedItems_;
    // Prepared once, run for every row with its values.
    db::Statement insert_{QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, "
                                         "Beszerznegyedev, Tetelsorszam, Beszerzho, Termekszolg, "
                                         "Vtszszolgkod, Termitj, Vtszszolg, Termszolgnev, "
                                         "Mennyisegiegyseg, Vasaroltmenny, Beszerzforras, "
                                         "Felhasznter, Artipus, Tegysegar, Bazisegysegar) values "
                                         "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                          {}};
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
        std::optional<QVariantList> values;
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
            writer.write(*values);
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
    if (!recordExists(key)) {
        addRowFaults(result,
                     {{0,
                       {},
                       QStringLiteral("Nincs adatlap a(z) %1 adószámmal, %2. év %3. negyedévre!")
                           .arg(key.regNo, key.year, key.quarter)}});
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

QString csvField(const QString& value) {
    if (!value.contains(u';') && !value.contains(u'"'))
        return value;
    return u'"' + QString(value).replace(u'"', QStringLiteral("\"\"")) + u'"';
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
        header.append(csvField(column.label));
    QStringList row;
    for (const QString& value : example)
        row.append(csvField(value));
    QFile file(path);
    const QByteArray bytes =
        "\xEF\xBB\xBF" + header.join(u';').toUtf8() + "\r\n" + row.join(u';').toUtf8() + "\r\n";
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw platform::Failure(QStringLiteral("A(z) %1 fájl nem írható: %2")
                                    .arg(QDir::toNativeSeparators(path), file.errorString()));
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
