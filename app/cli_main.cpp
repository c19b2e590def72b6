// harmograph without windows (the build without Qt): the sub-commands that need no drawing; the
// windows and the drawing sub-commands say that they need the full build.
#include "cli/args.h"
#include "cli/commands.h"

namespace {

int windowsUnavailable(int, char**) {
    return hg::cli::fail("the windows need the full build of harmograph (with Qt)");
}

}  // namespace

int main(int argc, char** argv) {
    return hg::cli::run(argc, argv, windowsUnavailable);
}
