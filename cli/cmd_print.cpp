#include "cli/args.h"
#include "cli/commands.h"

namespace hg::cli {

int print(int, char**) { return fail("print: not available yet"); }

}  // namespace hg::cli
