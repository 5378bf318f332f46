#include "csv_table.h"

#include "platform/codepage.h"
#include "platform/failure.h"

#include <QIODevice>
#include <QRegularExpression>

#include <algorithm>

namespace purchase {

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;
constexpr char kBom[] = "\xEF\xBB\xBF";

// How many bytes at the end of the chunk begin a UTF-8 sequence the chunk does not finish.
qsizetype cutSequence(QByteArrayView chunk) {
    for (qsizetype back = 1; back <= std::min<qsizetype>(3, chunk.size()); ++back) {
        const auto byte = static_cast<unsigned char>(chunk[chunk.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue;  // a continuation byte: the sequence began further back
        const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// Whether the bytes from the device's position to its end are valid UTF-8.
bool restIsUtf8(QIODevice& device) {
    QByteArray carried;
    for (QByteArray chunk = device.read(kChunkBytes); !chunk.isEmpty();
         chunk = device.read(kChunkBytes)) {
        chunk.prepend(carried);
        const qsizetype cut = cutSequence(chunk);
        carried = chunk.last(cut);
        if (!QByteArrayView(chunk).chopped(cut).isValidUtf8())
            return false;
    }
    return carried.isEmpty();
}

// The separator the first line uses most often outside quotes; ties go to ";", then TAB, as a
// comma may stand in a decimal number.
QChar detectSeparator(QStringView text) {
    int semicolons = 0, tabs = 0, commas = 0;
    bool quoted = false;
    for (QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted) {
            semicolons += c == u';';
            tabs += c == u'\t';
            commas += c == u',';
        }
    }
    if (semicolons >= tabs && semicolons >= commas && semicolons > 0)
        return u';';
    if (tabs >= commas && tabs > 0)
        return u'\t';
    return commas > 0 ? QChar(u',') : QChar(u';');
}

bool allEmpty(const QStringList& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const QString& field) {
        return std::all_of(field.begin(), field.end(), [](QChar c) { return c.isSpace(); });
    });
}

}  // namespace

CsvReader::CsvReader(QIODevice& device) : device_(device) {
    const bool bom = device_.peek(3) == kBom;
    const qint64 start = bom ? 3 : 0;
    device_.seek(start);
    utf8_ = restIsUtf8(device_);
    device_.seek(start);
    fill();
    // A spreadsheet program may name the separator on a line of its own before the header.
    static const QRegularExpression separatorLine(QStringLiteral("^sep=([;,\t])(\r\n|\n|\r)"));
    const auto named = separatorLine.match(buffer_);
    if (named.hasMatch()) {
        separator_ = named.captured(1).front();
        at_ = named.capturedLength();
        line_ = 2;
    } else {
        separator_ = detectSeparator(buffer_);
    }
    const auto row = next();
    if (!row)
        throw platform::Failure(QStringLiteral("A CSV-fájl üres: nincs benne fejléc sor."));
    header_ = row->fields;
    headerLine_ = row->line;
}

std::optional<CsvRow> CsvReader::next() {
    for (auto row = nextRow(); row; row = nextRow()) {
        if (!allEmpty(row->fields))
            return row;
    }
    return std::nullopt;
}

bool CsvReader::fill() {
    buffer_.clear();
    at_ = 0;
    // A chunk may end inside a character and give nothing yet.
    while (buffer_.isEmpty()) {
        const QByteArray bytes = device_.read(kChunkBytes);
        if (bytes.isEmpty())
            return false;
        buffer_ = utf8_ ? decoder_.decode(bytes) : platform::fromWindows1250(bytes);
    }
    return true;
}

void CsvReader::countRow(qsizetype characters) {
    rowLength_ += characters;
    if (rowLength_ > kMaxRowLength)
        throw platform::Failure(
            QStringLiteral("A CSV-fájl %1. sorában kezdődő sor hosszabb 64 KiB-nál.")
                .arg(rowLine_));
}

QChar CsvReader::take() {
    countRow(1);
    return buffer_[at_++];
}

template <typename Ends>
void CsvReader::takeRun(QString& value, Ends ends) {
    while (more()) {
        const QStringView rest = QStringView(buffer_).sliced(at_);
        const auto end = std::find_if(rest.begin(), rest.end(), ends);
        const qsizetype length = end - rest.begin();
        countRow(length);
        // Most fields are taken whole in one run: a string of their own length.
        if (value.isEmpty())
            value = rest.first(length).toString();
        else
            value += rest.first(length);
        at_ += length;
        if (end != rest.end())
            return;
    }
}

std::optional<CsvRow> CsvReader::nextRow() {
    if (!more())
        return std::nullopt;
    rowLength_ = 0;
    rowLine_ = line_;
    CsvRow row{line_, {}};
    row.fields.reserve(header_.size());
    for (;;) {
        row.fields.append(field());
        if (!more())
            return row;
        const QChar end = take();
        if (end == separator_)
            continue;
        lineBreak(end);
        return row;
    }
}

// Reads one field up to its separator or line break, which it leaves unread.
QString CsvReader::field() {
    QString value;
    if (more() && peek() == u'"') {
        const int opened = line_;
        take();
        value = quotedPart(opened);
    }
    // Anything after a closing quote belongs to the field as written.
    takeRun(value, [this](QChar c) { return c == separator_ || c == u'\n' || c == u'\r'; });
    return value;
}

QString CsvReader::quotedPart(int opened) {
    QString value;
    for (;;) {
        takeRun(value, [](QChar c) { return c == u'"' || c == u'\n' || c == u'\r'; });
        if (!more())
            throw platform::Failure(
                QStringLiteral("A CSV-fájl %1. sorában kezdődő idézőjeles mező nincs lezárva.")
                    .arg(opened));
        const QChar c = take();
        if (c == u'"') {
            if (more() && peek() == u'"') {
                take();
                value += u'"';
                continue;
            }
            return value;
        }
        lineBreak(c);
        value += u'\n';
    }
}

// Counts a line break; CR LF is one.
void CsvReader::lineBreak(QChar c) {
    if (c == u'\r' && more() && peek() == u'\n')
        take();
    ++line_;
}

}  // namespace purchase
