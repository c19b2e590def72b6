#include "analysis/table.h"

#include <cstdlib>

#include "platform/system_memory.h"

namespace hg {

namespace {
// Blocks from this size on (a huge page) come straight from the system.
constexpr std::size_t kMappedFrom = std::size_t{2} << 20;
}  // namespace

void* allocateTableBlock(std::size_t bytes) {
    void* p = bytes < kMappedFrom ? std::calloc(bytes, 1) : sys::allocateZeroedPages(bytes);
    if (!p) throw std::bad_alloc();
    return p;
}

void releaseTableBlock(void* block, std::size_t bytes) {
    if (!block) return;
    if (bytes < kMappedFrom)
        std::free(block);
    else
        sys::releasePages(block, bytes);
}

}  // namespace hg
