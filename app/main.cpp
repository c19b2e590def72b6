// harmograph: a sub-command word as the first argument runs headless; otherwise the windows start.
#include "app/gui_main.h"
#include "cli/commands.h"

int main(int argc, char** argv) {
    return hg::cli::run(argc, argv, hg::runGui);
}
