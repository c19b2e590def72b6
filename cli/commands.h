// The headless sub-commands of harmograph. Each returns the process exit code: 0 on success,
// non-zero with a one-line message on stderr on failure.
#pragma once

namespace hg::cli {

// argv[1] is the sub-command word; options follow from argv[2].
int info(int argc, char** argv);
int synth(int argc, char** argv);
int tables(int argc, char** argv);
int convert(int argc, char** argv);
int plot(int argc, char** argv);
int print(int argc, char** argv);
int report(int argc, char** argv);
int limits(int argc, char** argv);
int spectrum(int argc, char** argv);  // FILE --at "yy/mm/dd hh:mm" [--channel N] -o OUT

// Runs the sub-command named by argv[1]; -1 when argv[1] is not a sub-command word.
int dispatch(int argc, char** argv);

}  // namespace hg::cli
