#pragma once

#include <QByteArray>
#include <QString>

namespace transmission {

// Writes the bytes to a temporary file beside `path`, flushed to the system and renamed over
// `path`, so that a kill or a full disk leaves the old file or the new one, never a part of it.
// It does not wait for the disk itself (fsync): on this kind of disk that would cost the send run
// several times its upload. Empty when written, otherwise the reason.
QString replaceFile(const QString& path, const QByteArray& bytes);

}  // namespace transmission
