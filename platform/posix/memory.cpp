#include <sys/mman.h>

#include <cstdint>

#include "platform/system_memory.h"

namespace hg::sys {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t mappedLength(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

}  // namespace

void* allocateZeroedPages(std::size_t bytes) {
    // Map one huge page more than needed and trim to an aligned start, so the kernel can back the
    // block with huge pages.
    const std::size_t length = mappedLength(bytes);
    void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start) ::munmap(raw, aligned - start);
    const std::uintptr_t end = start + length + kHugePage;
    if (end > aligned + length)
        ::munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
#ifdef MADV_HUGEPAGE
    ::madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
}

void releasePages(void* block, std::size_t bytes) {
    if (block) ::munmap(block, mappedLength(bytes));
}

}  // namespace hg::sys
