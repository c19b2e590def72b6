#include "cli/args.h"
#include "cli/commands.h"

namespace hg::cli {

int plot(int, char**) { return fail("plot: not available yet"); }

}  // namespace hg::cli
