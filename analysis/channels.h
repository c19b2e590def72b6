// How a current channel is named wherever the program shows one: "1ch" .. "9ch" for a measured
// channel, "合成" for the composite of all channels (channel index C).
#pragma once

#include <string>

namespace hg {

std::string channelName(int channel, int channelCount);

}  // namespace hg
