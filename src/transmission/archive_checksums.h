#pragma once

#include <QString>

namespace transmission {

// The checksum list of an archive folder, which proves later exactly what was sent.
inline constexpr char kChecksumFileName[] = "SHA256SUMS";

// Writes the folder's checksum list anew: one line per .zip and .txt file it holds, in name
// order, in the form "sha256sum -c" reads (the digest in lower-case hex, two spaces, the name).
// The list is replaced whole, so a reader never sees half of it; false when it cannot be written.
bool writeChecksums(const QString& folder);

}  // namespace transmission
