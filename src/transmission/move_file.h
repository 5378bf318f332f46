#pragma once

#include <QString>

namespace transmission {

// Moves the file `from` to `to`, replacing a file of that name; across file systems through a
// whole copy (platform::writeWhole), so that `to` is whole or as it was. A move that fails is a
// platform::FileFailure with the system's reason.
void moveReplacing(const QString& from, const QString& to);

}  // namespace transmission
