#include "analysis/channels.h"

namespace hg {

std::string channelName(int channel, int channelCount) {
    if (channel >= channelCount) return "合成";
    return std::to_string(channel + 1) + "ch";
}

}  // namespace hg
