// The name of a print job in the system's queue, also the title of the sheet's PDF:
// "harmograph – x.hv3 電圧歪率", with the items of a set or thirds sheet joined by "・", each
// item named once (three thirds of one item are "電圧歪率").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hg {

std::string printJobTitle(std::string_view filePath, const std::vector<int16_t>& items);

}  // namespace hg
