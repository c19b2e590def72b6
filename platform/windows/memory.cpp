#include "platform/system_memory.h"
#include "platform/windows/wide.h"

namespace hg::sys {

void* allocateZeroedPages(std::size_t bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void releasePages(void* block, std::size_t) {
    if (block) VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace hg::sys
