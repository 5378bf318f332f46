#include "csv_table.h"

#include "platform/codepage.h"
#include "platform/failure.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace purchase {

namespace {

QString decoded(QByteArrayView bytes) {
    static constexpr char kBom[] = "\xEF\xBB\xBF";
    if (bytes.startsWith(QByteArrayView(kBom, 3)))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return platform::fromWindows1250(bytes);
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

// Splits the text into rows of fields, each with the line it starts on.
class Splitter {
public:
    Splitter(QStringView text, QChar separator, int firstLine)
        : text_(text), separator_(separator), line_(firstLine) {}

    QList<CsvRow> rows() {
        QList<CsvRow> rows;
        while (at_ < text_.size())
            rows.append(row());
        return rows;
    }

private:
    CsvRow row() {
        CsvRow row{line_, {}};
        for (;;) {
            row.fields.append(field());
            if (at_ >= text_.size())
                return row;
            const QChar end = text_[at_++];
            if (end == separator_)
                continue;
            lineBreak(end);
            return row;
        }
    }

    // Reads one field up to its separator or line break, which it leaves unread.
    QString field() {
        QString value;
        if (at_ < text_.size() && text_[at_] == u'"') {
            const int opened = line_;
            ++at_;
            value = quotedPart(opened);
        }
        // Anything after a closing quote belongs to the field as written.
        while (at_ < text_.size() && text_[at_] != separator_ && text_[at_] != u'\n' &&
               text_[at_] != u'\r')
            value += text_[at_++];
        return value;
    }

    QString quotedPart(int opened) {
        QString value;
        for (;;) {
            if (at_ >= text_.size())
                throw platform::Failure(
                    QStringLiteral("A CSV-fájl %1. sorában kezdődő idézőjeles mező nincs lezárva.")
                        .arg(opened));
            const QChar c = text_[at_++];
            if (c == u'"') {
                if (at_ < text_.size() && text_[at_] == u'"') {
                    ++at_;
                    value += u'"';
                    continue;
                }
                return value;
            }
            if (c == u'\n' || c == u'\r')
                lineBreak(c);
            value += c == u'\r' ? u'\n' : c;
        }
    }

    // Counts a line break; CR LF is one.
    void lineBreak(QChar c) {
        if (c == u'\r' && at_ < text_.size() && text_[at_] == u'\n')
            ++at_;
        ++line_;
    }

    QStringView text_;
    QChar separator_;
    qsizetype at_ = 0;
    int line_;
};

bool allEmpty(const QStringList& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](const QString& field) { return field.trimmed().isEmpty(); });
}

}  // namespace

CsvTable readCsvTable(QByteArrayView bytes) {
    const QString text = decoded(bytes);
    // A spreadsheet program may name the separator on a line of its own before the header.
    static const QRegularExpression separatorLine(QStringLiteral("^sep=([;,\t])(\r\n|\n|\r)"));
    const auto named = separatorLine.match(text);
    const QStringView body = QStringView(text).sliced(named.capturedLength());
    CsvTable table;
    table.separator = named.hasMatch() ? named.captured(1).front() : detectSeparator(body);
    for (CsvRow& row : Splitter(body, table.separator, named.hasMatch() ? 2 : 1).rows()) {
        if (allEmpty(row.fields))
            continue;
        if (table.header.isEmpty()) {
            table.header = std::move(row.fields);
            table.headerLine = row.line;
        } else
            table.rows.append(std::move(row));
    }
    if (table.header.isEmpty())
        throw platform::Failure(QStringLiteral("A CSV-fájl üres: nincs benne fejléc sor."));
    return table;
}

}  // namespace purchase
