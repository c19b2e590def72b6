#include "app/gui_main.h"

#include <iostream>

namespace hg {

int runGui(int, char**) {
    std::cout << "harmograph: the windows come next; use the sub-commands (harmograph info FILE, "
                 "harmograph synth -o FILE).\n";
    return 0;
}

}  // namespace hg
