// harmograph limits
// Lists the limit sets found (the installed ones and the user's folder), one a line: the name,
// the quantity it limits, the statistic it is judged on, the title and the file it came from.
// Files that cannot be read are named on stderr; the others are still listed.
#include <iostream>

#include "cli/args.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "cli/limit_sets.h"
#include "compliance/limits.h"
#include "platform/system_process.h"

namespace hg::cli {

LimitCatalogue loadCatalogue(const char* argv0) {
    LimitCatalogue catalogue = loadLimitSets(limitFolders(sys::programPath(argv0)));
    for (const std::string& problem : catalogue.problems) warn(problem);
    return catalogue;
}

int limits(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2, {}, {});
    if (!args) return usageError(args.error());
    if (!args->positional.empty()) return usageOf("limits");
    const LimitCatalogue catalogue = loadCatalogue(argv[0]);
    if (catalogue.sets.empty()) return fail("limits: no limit set was found");
    for (const LimitSet& s : catalogue.sets)
        std::cout << shownText(s.name) << "\t" << quantityName(s.quantity) << "\t"
                  << statisticName(s.statistic) << "\t" << shownText(s.title) << "\t"
                  << shownText(s.file) << "\n";
    return 0;
}

}  // namespace hg::cli
