#pragma once

namespace db {

// The order of names for a Hungarian user, on the connection under this name for
// "order by ... collate": accented vowels beside their plain forms, ö and ü after o and u, and
// the letters cs, sz, zs after c, s and z.
inline constexpr char kHungarianCollation[] = "magyar";

// Registers it on the shared connection.
void registerHungarianCollation();

}  // namespace db
