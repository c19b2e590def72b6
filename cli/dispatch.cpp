// The first word decides: help, the version, a sub-command (headless), or the windows on a path.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "platform/system_files.h"
#include "platform/system_process.h"

namespace hg::cli {

namespace {

bool isHelpWord(std::string_view word) {
    return word == "--help" || word == "-h";
}

// The window takes its arguments, joined, as one path (optionally quoted): an existing file or
// folder, or a text written as a path (with a folder separator).
bool namesPath(int argc, char** argv) {
    std::string joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) joined += ' ';
        joined += argv[i];
    }
    std::string path = trimmed(joined);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    return sys::exists(path) || sys::exists(argv[1]) ||
           path.find_first_of("/\\") != std::string::npos;
}

int startWindows(int argc, char** argv, GuiRunner gui) {
    if (!sys::displayAvailable())
        return fail(
            "no display for the windows (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset); "
            "the commands run without one (harmograph --help)");
    return gui(argc, argv);
}

int help(int argc, char** argv) {
    if (argc < 3) {
        printOverview(std::cout);
        return kExitSuccess;
    }
    const CommandInfo* command = findCommand(argv[2]);
    if (!command)
        return usageError("unknown command '" + std::string(argv[2]) +
                          "' (harmograph --help lists them)");
    printCommandHelp(std::cout, *command);
    return kExitSuccess;
}

int dispatch(int argc, char** argv, GuiRunner gui) {
    if (argc < 2) return startWindows(argc, argv, gui);
    const std::string word = argv[1];
    if (isHelpWord(word) || word == "help") return help(argc, argv);
    if (word == "--version" || word == "-V") {
        printVersion(std::cout);
        return kExitSuccess;
    }
    if (const CommandInfo* command = findCommand(word)) {
        setCommand(command->word);
        for (int i = 2; i < argc; ++i)
            if (isHelpWord(argv[i])) {
                printCommandHelp(std::cout, *command);
                return kExitSuccess;
            }
        return command->run(argc, argv);
    }
    if (namesPath(argc, argv)) return startWindows(argc, argv, gui);
    return usageError(
        (word.size() > 1 && word[0] == '-' ? "unknown option '" : "unknown command '") + word +
        "' (harmograph --help lists them)");
}

}  // namespace

int run(int argc, char** argv, GuiRunner gui) {
    sys::prepareStandardStreams();
    // The arguments in UTF-8 whatever the system's code page (argv itself on POSIX).
    std::vector<std::string> words = sys::utf8Arguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& w : words) pointers.push_back(w.data());
    pointers.push_back(nullptr);
    try {
        return dispatch(static_cast<int>(words.size()), pointers.data(), gui);
    } catch (const std::exception& e) {
        return fail(std::string("stopped: ") + e.what());
    } catch (...) {
        return fail("stopped by an unexpected error");
    }
}

}  // namespace hg::cli
