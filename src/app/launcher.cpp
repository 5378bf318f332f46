// The program's entry. A command line asks for the windows, or for a command that needs none;
// each is a part of the program loaded only when asked for, so that a command does not wait for
// the windowing libraries to load, and "--version" for none.

#include "command_names.h"

#include <dlfcn.h>

#include <cstdio>

namespace {

// Found through the program's run path: beside the program, or in its installed library folder.
int runPart(const char* library, int argc, char* argv[]) {
    void* part = dlopen(library, RTLD_LAZY | RTLD_LOCAL);
    using Entry = int (*)(int, char*[]);
    const auto entry = part ? reinterpret_cast<Entry>(dlsym(part, "velkor_main")) : nullptr;
    if (entry == nullptr) {
        std::fprintf(stderr, "A program egy része nem tölthető be: %s\n", dlerror());
        return 1;
    }
    return entry(argc, argv);
}

}  // namespace

int main(int argc, char* argv[]) {
    switch (app::askedOf(argc, argv)) {
        case app::Asked::Version:
            std::printf("velkor %s\n", VK_VERSION);
            return 0;
        case app::Asked::Command:
            return runPart("libvelkor-commands.so", argc, argv);
        case app::Asked::Windows:
            break;
    }
    return runPart("libvelkor-windows.so", argc, argv);
}
