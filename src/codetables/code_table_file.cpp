#include "code_table_file.h"

#include "platform/failure.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>

namespace codetables {

namespace {

// Column names go into statements as names, so they are plain identifiers.
bool isColumnName(const QString& name) {
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return identifier.match(name).hasMatch();
}

bool hasControlCharacter(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

QString decodeLine(const QByteArray& bytes, int line) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        throw MalformedLine(line, QStringLiteral("nem UTF-8 kódolású szöveg"));
    if (hasControlCharacter(QString(text).remove(u'\t')))
        throw MalformedLine(line, QStringLiteral("vezérlőkaraktert tartalmaz"));
    return text;
}

void checkColumns(const QStringList& columns, int line) {
    QSet<QString> seen;
    for (const QString& column : columns) {
        if (!isColumnName(column))
            throw MalformedLine(
                line,
                QStringLiteral("érvénytelen oszlopnév: \"%1\"").arg(platform::excerpt(column)));
        if (seen.contains(column.toLower()))
            throw MalformedLine(
                line, QStringLiteral("kétszer szereplő oszlop: %1").arg(platform::excerpt(column)));
        seen.insert(column.toLower());
    }
}

}  // namespace

MalformedLine::MalformedLine(int line, const QString& reason)
    : Failure(QStringLiteral("%1. sor: %2").arg(QString::number(line), reason)),
      line_(line),
      reason_(reason) {}

CodeTableFile parseCodeTable(QIODevice& device) {
    static const QByteArray byteOrderMark("\xEF\xBB\xBF");
    CodeTableFile file;
    int line = 0;
    // Counted as when the text is split at its line breaks: an empty line follows the last.
    bool lineBreakLast = true;
    while (!device.atEnd()) {
        QByteArray raw = device.readLine(kMaxLineLength + 3);
        ++line;
        if (line == 1 && raw.startsWith(byteOrderMark))
            raw.remove(0, 3);
        lineBreakLast = raw.endsWith('\n');
        if (lineBreakLast)
            raw.chop(1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (raw.size() > kMaxLineLength || (!lineBreakLast && !device.atEnd()))
            throw MalformedLine(line, QStringLiteral("hosszabb 64 KiB-nál"));
        const QString text = decodeLine(raw, line);
        if (text.isEmpty() || text.startsWith(u'#'))
            continue;
        const QStringList fields = text.split(u'\t');
        if (file.columns.isEmpty()) {
            checkColumns(fields, line);
            file.columnsLine = line;
            file.columns = fields;
        } else if (fields.size() != file.columns.size()) {
            throw MalformedLine(line, QStringLiteral("%1 érték áll %2 oszlop helyett")
                                          .arg(QString::number(fields.size()),
                                               QString::number(file.columns.size())));
        } else {
            file.rows.append(fields);
            file.lines.append(line);
        }
    }
    if (lineBreakLast)
        ++line;
    if (file.columns.isEmpty())
        throw MalformedLine(line, QStringLiteral("nincs benne az oszlopokat megnevező sor"));
    return file;
}

CodeTableFile parseCodeTable(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return parseCodeTable(buffer);
}

}  // namespace codetables
