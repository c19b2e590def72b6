#include "cli/args.h"
#include "cli/commands.h"

namespace hg::cli {

int synth(int, char**) { return fail("synth: not available yet"); }

}  // namespace hg::cli
