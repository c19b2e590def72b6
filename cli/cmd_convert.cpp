#include "cli/args.h"
#include "cli/commands.h"

namespace hg::cli {

int convert(int, char**) { return fail("convert: not available yet"); }

}  // namespace hg::cli
