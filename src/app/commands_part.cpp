// The part of the program that runs the commands without any window, loaded by the program's
// entry for them; it links no windowing library.

#include "command_line.h"

extern "C" __attribute__((visibility("default"))) int velkor_main(int argc, char* argv[]) {
    return app::runCommandLine(argc, argv).value_or(1);
}
