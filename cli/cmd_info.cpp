#include "cli/args.h"
#include "cli/commands.h"

namespace hg::cli {

int info(int, char**) { return fail("info: not available yet"); }

}  // namespace hg::cli
