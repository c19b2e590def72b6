// The running program's side of the system, behind one interface with a POSIX and a Windows
// implementation: its arguments and standard streams, its own path, its process number, whether a
// terminal or a display is there.
#pragma once

#include <string>
#include <vector>

namespace hg::sys {

// The program's arguments in UTF-8: argv itself on POSIX; on Windows the wide-character command
// line, whatever the code page.
std::vector<std::string> utf8Arguments(int argc, char** argv);

// Sets the standard streams up for the program's bytes: on Windows binary (no LF -> CR LF) and a
// console showing UTF-8; nothing to do on POSIX.
void prepareStandardStreams();

// The path of the running program (argv0 when the system cannot say).
std::string programPath(const char* argv0);

unsigned processId();

// Whether the standard error stream is a terminal (a console window on Windows).
bool standardErrorIsTerminal();

// Whether windows can be shown: a display named in the environment on POSIX, always on Windows.
bool displayAvailable();

}  // namespace hg::sys
