#pragma once

namespace app {

// What a command line asks of the program, read before any library of the program is loaded, so
// that the program loads only the part that does it.
enum class Asked {
    Version,  // "--version" alone: answered at once
    Command,  // a command that needs no window
    Windows,  // the windows, or printing, which needs the fonts of a windowing system
};
Asked askedOf(int argc, char* argv[]);

// Whether any argument is one of the program's commands; any other argument is left to the
// windowing toolkit.
bool asksForCommand(int argc, char* argv[]);
bool asksToPrint(int argc, char* argv[]);

}  // namespace app
