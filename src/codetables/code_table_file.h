#pragma once

#include "platform/failure.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

namespace codetables {

// One code-table file as read: the column names and the rows, each row with the file line it
// came from.
//
// The format: UTF-8 text (a byte-order mark is allowed), lines ending in LF or CR LF; lines
// starting with "#" are notes and empty lines are skipped; the first other line names the
// columns, every further line holds one tab-separated value per column.
struct CodeTableFile {
    int columnsLine = 0;
    QStringList columns;
    QList<QStringList> rows;
    QList<int> lines;
};

// A line that breaks the format, with its number (counted from 1) and what is wrong with it.
class MalformedLine : public platform::Failure {
public:
    MalformedLine(int line, const QString& reason);
    int line() const noexcept { return line_; }
    const QString& reason() const noexcept { return reason_; }

private:
    int line_;
    QString reason_;
};

// The longest line a code-table file may hold, in bytes.
inline constexpr qsizetype kMaxLineLength = 64 * 1024;

// Reads a code-table file line by line from the device; a broken line, or one longer than
// kMaxLineLength, is a MalformedLine. Touches nothing else, so any bytes may be fed to it.
CodeTableFile parseCodeTable(QIODevice& device);
CodeTableFile parseCodeTable(const QByteArray& bytes);

}  // namespace codetables
