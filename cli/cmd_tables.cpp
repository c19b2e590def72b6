#include "cli/args.h"
#include "cli/commands.h"

namespace hg::cli {

int tables(int, char**) { return fail("tables: not available yet"); }

}  // namespace hg::cli
