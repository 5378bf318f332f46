#pragma once

#include <QByteArray>
#include <QString>

namespace transmission {

// Writes the bytes to a temporary file beside `path` and renames it over `path`, so that a kill
// or a full disk leaves the old file or the new one, never a part of it, and no temporary file
// after a failure. It does not wait for the disk itself (fsync): on this kind of disk that would
// cost the send run several times its upload. Empty when written, otherwise the reason.
QString replaceFile(const QString& path, const QByteArray& bytes);

// Moves the file `from` to `to`, replacing a file of that name; across file systems through
// replaceFile, so that `to` is whole or as it was. Empty when moved, otherwise the reason.
QString moveReplacing(const QString& from, const QString& to);

}  // namespace transmission
