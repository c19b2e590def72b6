// The limit sets the command line reads: those installed with the program (or beside it in a
// build tree) and the user's folder. Files that cannot be read are named on stderr.
#pragma once

#include "compliance/limits.h"

namespace hg::cli {

LimitCatalogue loadCatalogue(const char* argv0);

}  // namespace hg::cli
