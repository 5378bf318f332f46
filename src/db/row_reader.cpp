#include "row_reader.h"

#include "platform/failure.h"
#include "platform/regional.h"
#include "statement.h"
#include "values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

namespace db {

RowReader::RowReader(QString statement)
    : text_(std::move(statement)), separator_(QString(platform::decimalSeparator()).toUtf8()) {}

RowReader::~RowReader() = default;

void RowReader::run(const QVariantList& values) {
    onRow_ = false;
    if (statement_) {
        statement_->rebind(values);
        return;
    }
    statement_ = std::make_unique<Statement>(text_, values);
    for (int i = 0; i < statement_->columnCount(); ++i)
        names_.append(statement_->columnName(i));
}

bool RowReader::next() {
    onRow_ = statement_ && statement_->step();
    if (!onRow_)
        close();
    return onRow_;
}

void RowReader::close() {
    onRow_ = false;
    if (statement_)
        statement_->reset();
}

void RowReader::noCurrentRecord() {
    throw platform::Failure(QStringLiteral("No current record"));
}

std::string_view RowReader::utf8(int column) {
    const Statement::Stored value = current().stored(column);
    switch (value.kind) {
        case Statement::Stored::Kind::Null:
            return {};
        case Statement::Stored::Kind::Integer: {
            const char* end = std::to_chars(number_, std::end(number_), value.integer).ptr;
            return {number_, static_cast<size_t>(end - number_)};
        }
        case Statement::Stored::Kind::Real: {
            char digits[32];
            char* to = number_;
            for (char c : floatDigits(value.real, digits)) {
                if (c == '.')
                    to = std::copy(separator_.cbegin(), separator_.cend(), to);
                else
                    *to++ = c;
            }
            return {number_, static_cast<size_t>(to - number_)};
        }
        case Statement::Stored::Kind::Text:
            break;
    }
    return value.bytes;
}

QString RowReader::text(int column) {
    const std::string_view bytes = utf8(column);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::optional<double> RowReader::number(int column) const {
    const Statement::Stored value = current().stored(column);
    switch (value.kind) {
        case Statement::Stored::Kind::Null:
            return std::nullopt;
        case Statement::Stored::Kind::Integer:
            return static_cast<double>(value.integer);
        case Statement::Stored::Kind::Real:
            return value.real;
        case Statement::Stored::Kind::Text:
            break;
    }
    return QString::fromUtf8(value.bytes.data(), static_cast<qsizetype>(value.bytes.size()))
        .toDouble();
}

std::optional<double> RowReader::real(int column) const {
    const Statement::Stored value = current().stored(column);
    if (value.kind != Statement::Stored::Kind::Real || !std::isfinite(value.real))
        return std::nullopt;
    return value.real;
}

}  // namespace db
