#include "analysis/table.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace hg {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Blocks from this size on are mapped, aligned to the huge page size.
constexpr std::size_t kMappedFrom = kHugePage;

std::size_t mappedLength(std::size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}
}  // namespace

void* allocateTableBlock(std::size_t bytes) {
    if (bytes < kMappedFrom) {
        void* p = std::calloc(bytes, 1);
        if (!p) throw std::bad_alloc();
        return p;
    }
    // Map one huge page more than needed and trim to an aligned start, so the kernel can back the
    // block with huge pages.
    const std::size_t length = mappedLength(bytes);
    void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
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

void releaseTableBlock(void* block, std::size_t bytes) {
    if (!block) return;
    if (bytes < kMappedFrom)
        std::free(block);
    else
        ::munmap(block, mappedLength(bytes));
}

}  // namespace hg
