#pragma once

#include <optional>

namespace app {

// Runs the command that the command line asks for ("--import-codes FOLDER", "--import-items FILE
// REGNO YEAR QUARTER", "--carry-forward REGNO YEAR QUARTER", "--check YEAR QUARTER", "--send YEAR
// QUARTER", "--print YEAR QUARTER", "--copy YEAR QUARTER FOLDER", "--help")
// without any window, and gives its exit status; gives nothing when the command line asks for
// none, and the program starts its windows as usual.
std::optional<int> runCommandLine(int argc, char* argv[]);

}  // namespace app
