#include "graph/footer_text.h"

namespace hg {

std::string fittedFileNameText(const Canvas& canvas, std::string_view path, double x,
                               double right) {
    const std::string whole = "ﾌｧｲﾙ名:" + std::string(path);
    if (x + canvas.textWidth(whole) <= right) return whole;
    std::string line = whole;
    for (std::size_t slash = path.find('/', 1); slash != std::string_view::npos;
         slash = path.find('/', slash + 1)) {
        line = "ﾌｧｲﾙ名:…" + std::string(path.substr(slash));
        if (x + canvas.textWidth(line) <= right) break;
    }
    return line;
}

}  // namespace hg
