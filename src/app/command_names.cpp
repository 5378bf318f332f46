#include "command_names.h"

#include <algorithm>
#include <string_view>

namespace app {

namespace {

bool anyArgument(int argc, char* argv[], bool (*matches)(std::string_view)) {
    return std::any_of(argv + 1, argv + argc,
                       [matches](const char* argument) { return matches(argument); });
}

bool isCommand(std::string_view argument) {
    static constexpr std::string_view prefixes[]{
        "--import-codes", "--import-items", "--carry-forward", "--check", "--backup", "--restore",
        "--send",         "--print",        "--copy",          "--save",  "--listing"};
    static constexpr std::string_view whole[]{"--help", "-h", "--version", "-v"};
    return std::any_of(
               std::begin(prefixes), std::end(prefixes),
               [argument](std::string_view prefix) { return argument.starts_with(prefix); }) ||
           std::find(std::begin(whole), std::end(whole), argument) != std::end(whole);
}

bool isPrint(std::string_view argument) {
    return argument.starts_with("--print");
}

}  // namespace

bool asksForCommand(int argc, char* argv[]) {
    return anyArgument(argc, argv, isCommand);
}

bool asksToPrint(int argc, char* argv[]) {
    return anyArgument(argc, argv, isPrint);
}

Asked askedOf(int argc, char* argv[]) {
    if (argc == 2 &&
        (std::string_view(argv[1]) == "--version" || std::string_view(argv[1]) == "-v"))
        return Asked::Version;
    if (asksForCommand(argc, argv) && !asksToPrint(argc, argv))
        return Asked::Command;
    return Asked::Windows;
}

}  // namespace app
