#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

// Writes the rows as a spreadsheet program opens them: ";" between the fields, UTF-8 with a byte
// order mark (which it takes for Unicode text), CR LF after every row. A field holding ";", a
// comma, a quote or a line break stands between quotes, a quote inside it doubled, so that it
// stays one cell whichever of the usual separators the program splits at. The file is written
// whole; one that cannot be written is a Failure naming it.
void writeCsvFile(const QString& path, const QList<QStringList>& rows);

}  // namespace platform
