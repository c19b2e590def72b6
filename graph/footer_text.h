// The file-name footer of a graph, on the screen picture and on paper alike: "ﾌｧｲﾙ名:" and the
// recording's path, shortened from the left so that it ends inside the picture or page.
#pragma once

#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace hg {

// The footer as it fits between x and `right` in the canvas's current font: whole when it fits,
// else with the leading folders left out one at a time behind "…/" ("ﾌｧｲﾙ名:…/feeder_n/x.hv3");
// the file name itself always whole.
std::string fittedFileNameText(const Canvas& canvas, std::string_view path, double x, double right);

}  // namespace hg
