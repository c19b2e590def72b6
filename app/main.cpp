// harmograph: a sub-command word as the first argument runs headless; otherwise the windows start.
#include "app/gui_main.h"
#include "cli/commands.h"

int main(int argc, char** argv) {
    const int code = hg::cli::dispatch(argc, argv);
    if (code >= 0) return code;
    return hg::runGui(argc, argv);
}
