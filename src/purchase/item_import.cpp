#include "item_import.h"

#include "db/connection.h"
#include "db/query.h"
#include "db/values.h"
#include "export/data_fields.h"
#include "item_checks.h"
#include "platform/codepage.h"
#include "platform/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

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

// A header name compared without regard to case, surrounding blanks or a closing colon.
QString headerKey(QString name) {
    name = name.trimmed();
    if (name.endsWith(u':'))
        name.chop(1);
    return name.trimmed().toCaseFolded();
}

QString quotedValue(const QString& label, const QString& value, const QString& problem) {
    return QStringLiteral("A '%1' nevű mezőben megadott \"%2\" %3!!!").arg(label, value, problem);
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
    // the row, to be stored under the item number, has faults, which are added to the list.
    std::optional<QVariantList> check(const CsvRow& row, int number) {
        line_ = row.line;
        faultCount_ = faults_.size();
        std::fill(std::begin(ids_), std::end(ids_), QString());
        for (int column = 0; column < ColumnCount; ++column)
            cells_[column] = row.fields.at(positions_[column]).trimmed();
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
        checkFieldWidths(number, values);
        if (faults_.size() > faultCount_)
            return std::nullopt;
        return values;
    }

private:
    void fault(Column column, const QString& message) {
        faults_.append({line_, kColumns[column].name, message});
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
        if (cells_[Name].contains(u'\n'))
            fault(Name, QStringLiteral("A '%1' nevű mező nem tartalmazhat sortörést!!!")
                            .arg(kColumns[Name].label));
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

    // Every value the purchase data file could not carry whole, unless its column has a fault
    // already.
    void checkFieldWidths(int number, const QVariantList& values) {
        const QVariantList row =
            QVariantList{key_.regNo, key_.year.toInt(), key_.quarter, number} + values;
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
QList<int> columnPositions(const CsvTable& table, QList<ImportFault>& faults) {
    QHash<QString, int> byName;
    for (int column = 0; column < ColumnCount; ++column) {
        byName.insert(headerKey(kColumns[column].name), column);
        byName.insert(headerKey(kColumns[column].label), column);
        for (const QString& other : kColumns[column].otherNames)
            byName.insert(headerKey(other), column);
    }
    QList<int> positions(ColumnCount, -1);
    for (int at = 0; at < table.header.size(); ++at) {
        const QString& name = table.header[at];
        auto fault = [&](const QString& message) {
            faults.append({table.headerLine, name.trimmed(), message});
        };
        const auto known = byName.find(headerKey(name));
        if (known == byName.end()) {
            const bool filled = kFilledByImport.contains(name.trimmed(), Qt::CaseInsensitive);
            fault(filled ? QStringLiteral("Ezt az oszlopot az importálás tölti ki; hagyja el!")
                         : QStringLiteral("Ismeretlen oszlop!"));
        } else if (positions[*known] >= 0) {
            fault(QStringLiteral("Az oszlop kétszer szerepel a fejlécben!"));
        } else {
            positions[*known] = at;
        }
    }
    for (int column = 0; column < ColumnCount; ++column) {
        if (positions[column] < 0)
            faults.append({table.headerLine, kColumns[column].name,
                           QStringLiteral("Hiányzik ez az oszlop a fejlécből!")});
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

void store(const QList<QVariantList>& rows, const ReportKey& key, ImportResult& result) {
    db::inTransaction([&] {
        result.firstNumber = nextItemNumber(key);
        int number = result.firstNumber;
        for (const QVariantList& values : rows) {
            db::execute(QStringLiteral("insert into AdatlapBR (Adosajat, Beszerzev, "
                                       "Beszerznegyedev, Tetelsorszam, Beszerzho, Termekszolg, "
                                       "Vtszszolgkod, Termitj, Vtszszolg, Termszolgnev, "
                                       "Mennyisegiegyseg, Vasaroltmenny, Beszerzforras, "
                                       "Felhasznter, Artipus, Tegysegar, Bazisegysegar) values "
                                       "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                        QVariantList{key.regNo, key.year.toInt(), key.quarter, number++} + values);
        }
    });
    result.imported = static_cast<int>(rows.size());
}

}  // namespace

ImportResult importItemTable(const CsvTable& table, const ReportKey& key) {
    ImportResult result;
    if (!recordExists(key)) {
        result.faults.append(
            {0,
             {},
             QStringLiteral("Nincs adatlap a(z) %1 adószámmal, %2. év %3. negyedévre!")
                 .arg(key.regNo, key.year, key.quarter)});
        return result;
    }
    const QList<int> positions = columnPositions(table, result.faults);
    if (!result.faults.isEmpty())
        return result;
    if (table.rows.isEmpty()) {
        result.faults.append({0, {}, QStringLiteral("A CSV-fájlban nincs egy tétel sem!")});
        return result;
    }
    RowChecker checker(key, positions, result.faults);
    QList<QVariantList> rows;
    rows.reserve(table.rows.size());
    // Each row's item number if every row is stored.
    int number = nextItemNumber(key);
    for (const CsvRow& row : table.rows) {
        if (row.fields.size() != table.header.size()) {
            result.faults.append({row.line,
                                  {},
                                  QStringLiteral("A sorban %1 mező van, a fejlécben %2 oszlop!")
                                      .arg(row.fields.size())
                                      .arg(table.header.size())});
        } else if (auto values = checker.check(row, number)) {
            rows.append(std::move(*values));
        }
        ++number;
    }
    if (result.faults.isEmpty())
        store(rows, key, result);
    return result;
}

ImportResult importItemFile(const QString& csvPath, const ReportKey& key) {
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        return {{{0,
                  {},
                  QStringLiteral("A(z) %1 fájl nem olvasható: %2")
                      .arg(QDir::toNativeSeparators(csvPath), file.errorString())}}};
    try {
        return importItemTable(readCsvTable(file.readAll()), key);
    } catch (const platform::Failure& malformed) {
        return {{{0, {}, malformed.text()}}};
    }
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

QStringList faultLines(const QList<ImportFault>& faults) {
    QStringList lines;
    for (const ImportFault& fault : faults)
        lines.append(faultLine(fault));
    return lines;
}

QString faultListPath(const QString& csvPath) {
    const QFileInfo csv(csvPath);
    return csv.dir().filePath(csv.completeBaseName() + QStringLiteral("_hibak.txt"));
}

void saveFaultList(const QString& csvPath, const ImportResult& result) {
    const QString path = faultListPath(csvPath);
    if (result.faults.isEmpty()) {
        QFile::remove(path);
        return;
    }
    platform::TextFile list(path);
    for (const QString& line : faultLines(result.faults))
        list.writeLine(line);
    list.close();
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
