#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace app {

// What only the part of the program with windows does from the command line: printing the cover
// notes, in an application with the fonts of a windowing system.
struct CoverNotePrinting {
    std::function<std::unique_ptr<QCoreApplication>(int& argc, char* argv[])> application;
    // Prints the period's cover notes; the line that tells how many were printed.
    std::function<QString(const QString& year, const QString& quarter)> print;
};

// Runs the command that the command line asks for ("--import-codes FOLDER", "--import-items FILE
// REGNO YEAR QUARTER", "--carry-forward REGNO YEAR QUARTER", "--check YEAR QUARTER", "--send YEAR
// QUARTER", "--print YEAR QUARTER", "--copy YEAR QUARTER FOLDER", "--help")
// without any window, and gives its exit status; gives nothing when the command line asks for
// none, and the program starts its windows as usual. Without printing, "--print" is left to the
// part of the program with windows, as no command.
std::optional<int> runCommandLine(int argc, char* argv[],
                                  const CoverNotePrinting* printing = nullptr);

}  // namespace app
