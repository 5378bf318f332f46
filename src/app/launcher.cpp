// The program's entry. A command line asks for the windows, or for a command that needs none;
// each is a part of the program loaded only when asked for, so that a command does not wait for
// the windowing libraries to load, and "--version" for none.

#include "command_names.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

namespace {

// The part beside the program (the build, a portable folder), else in its installed library
// folder; looked up by path, since a library that wraps dlopen (a sanitizer) hides the
// program's own run path from it.
void* loadPart(const std::string& library) {
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0)
        return dlopen(library.c_str(), RTLD_LAZY | RTLD_LOCAL);
    const std::string path(program, static_cast<size_t>(length));
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    for (const std::string& place : {folder, folder + VK_PARTS_FROM_PROGRAM "/"}) {
        if (access((place + library).c_str(), F_OK) == 0)
            return dlopen((place + library).c_str(), RTLD_LAZY | RTLD_LOCAL);
    }
    return dlopen(library.c_str(), RTLD_LAZY | RTLD_LOCAL);
}

int runPart(const char* library, int argc, char* argv[]) {
    void* part = loadPart(library);
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
