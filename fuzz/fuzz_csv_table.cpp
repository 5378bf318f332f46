// The CSV reader over any bytes: it gives a table or a Failure, never anything else; a table's
// rows come after its header line in order, and writing the table out again with every field
// quoted reads back as the same table.

#include "platform/failure.h"
#include "purchase/csv_table.h"

#include <QByteArray>
#include <QString>

#include <cstdlib>

namespace {

QByteArray quotedCsv(const purchase::CsvTable& table) {
    auto line = [&](const QStringList& fields) {
        QStringList quoted;
        for (QString field : fields)
            quoted.append(u'"' + field.replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
                          u'"');
        return quoted.join(table.separator) + QStringLiteral("\r\n");
    };
    QString text = line(table.header);
    for (const purchase::CsvRow& row : table.rows)
        text += line(row.fields);
    return "\xEF\xBB\xBF" + text.toUtf8();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    purchase::CsvTable table;
    try {
        table = purchase::readCsvTable(
            QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    } catch (const platform::Failure&) {
        return 0;
    }
    if (table.header.isEmpty() || table.headerLine < 1)
        std::abort();
    int line = table.headerLine;
    for (const purchase::CsvRow& row : table.rows) {
        if (row.line <= line || row.fields.isEmpty())
            std::abort();
        line = row.line;
    }
    // With one column the separator is not in the header, and another may be detected.
    if (table.header.size() < 2)
        return 0;
    const purchase::CsvTable again = purchase::readCsvTable(quotedCsv(table));
    if (again.header != table.header || again.rows.size() != table.rows.size())
        std::abort();
    for (qsizetype i = 0; i < table.rows.size(); ++i) {
        if (again.rows[i].fields != table.rows[i].fields)
            std::abort();
    }
    return 0;
}
