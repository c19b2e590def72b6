// Starts the windows: the MDI frame with the file-selection window on the folder of the optional
// path argument (or the program's own folder). Returns the process exit code.
#pragma once

namespace hg {

int runGui(int argc, char** argv);

}  // namespace hg
