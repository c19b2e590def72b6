#include <cstring>

#include "cli/commands.h"

namespace hg::cli {

int dispatch(int argc, char** argv) {
    if (argc < 2) return -1;
    struct Entry {
        const char* word;
        int (*run)(int, char**);
    };
    static constexpr Entry kCommands[] = {
        {"info", info},       {"synth", synth},   {"tables", tables},
        {"convert", convert}, {"plot", plot},     {"print", print},
        {"report", report},   {"limits", limits}, {"spectrum", spectrum}};
    for (const Entry& e : kCommands)
        if (std::strcmp(argv[1], e.word) == 0) return e.run(argc, argv);
    return -1;
}

}  // namespace hg::cli
