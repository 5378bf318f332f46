// The CSV reader over any bytes: it gives rows or a Failure, never anything else; the rows come
// after the header line in order, and writing them out again with every field quoted reads back
// as the same rows.

#include "platform/failure.h"
#include "purchase/csv_table.h"

#include <QBuffer>
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdlib>

namespace {

struct Table {
    QStringList header;
    int headerLine = 0;
    QList<purchase::CsvRow> rows;
    QChar separator;
};

Table readTable(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    purchase::CsvReader csv(buffer);
    Table table{csv.header(), csv.headerLine(), {}, csv.separator()};
    for (auto row = csv.next(); row; row = csv.next())
        table.rows.append(*row);
    return table;
}

QByteArray quotedCsv(const Table& table) {
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
    Table table;
    try {
        table = readTable(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
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
    // With one column the separator is not in the header, and another may be detected. Quoting
    // lengthens a row: one near the length limit may not be written out again.
    if (table.header.size() < 2 || size > purchase::CsvReader::kMaxRowLength / 3)
        return 0;
    const Table again = readTable(quotedCsv(table));
    if (again.header != table.header || again.rows.size() != table.rows.size())
        std::abort();
    for (qsizetype i = 0; i < table.rows.size(); ++i) {
        if (again.rows[i].fields != table.rows[i].fields)
            std::abort();
    }
    return 0;
}
