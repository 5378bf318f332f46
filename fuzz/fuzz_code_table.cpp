// The code-table file reader over any bytes: it either reads the file or names a broken line that
// is in the file. What it reads has a column line, one value per column on every row, rows in
// the order of their lines after the column line, and no control character in any value.

#include "codetables/code_table_file.h"

#include <algorithm>
#include <cstdlib>

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

bool isPlainText(const QString& value) {
    return std::none_of(value.cbegin(), value.cend(),
                        [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const int lastLine = static_cast<int>(bytes.count('\n')) + 1;
    try {
        const codetables::CodeTableFile file = codetables::parseCodeTable(bytes);
        require(!file.columns.isEmpty() && file.columnsLine >= 1);
        require(file.rows.size() == file.lines.size());
        int previous = file.columnsLine;
        for (qsizetype row = 0; row < file.rows.size(); ++row) {
            require(file.lines.at(row) > previous && file.lines.at(row) <= lastLine);
            previous = file.lines.at(row);
            require(file.rows.at(row).size() == file.columns.size());
            require(std::all_of(file.rows.at(row).cbegin(), file.rows.at(row).cend(), isPlainText));
        }
    } catch (const codetables::MalformedLine& malformed) {
        require(malformed.line() >= 1 && malformed.line() <= lastLine);
        require(!malformed.reason().isEmpty());
    }
    return 0;
}
