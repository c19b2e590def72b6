// The headless sub-commands of harmograph. Each returns the process exit code: 0 on success,
// 1 on failure, 2 on a usage error, with a one-line message on stderr.
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

using GuiRunner = int (*)(int argc, char** argv);

// The whole command line: help, the version, the sub-command named by argv[1], or the windows
// (`gui`) when there is no argument or the arguments name a path. No exception escapes; returns
// the exit code: 0 success, 1 failure, 2 usage error.
int run(int argc, char** argv, GuiRunner gui);

}  // namespace hg::cli
