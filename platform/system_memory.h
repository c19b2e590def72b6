// Large blocks of zeroed memory straight from the system, behind one interface with a POSIX
// (anonymous mappings asking for huge pages) and a Windows (VirtualAlloc) implementation.
#pragma once

#include <cstddef>

namespace hg::sys {

// Zeroed memory of at least `bytes` bytes (untouched pages cost nothing until written); null when
// it cannot be had. Released with the same size.
void* allocateZeroedPages(std::size_t bytes);
void releasePages(void* block, std::size_t bytes);

}  // namespace hg::sys
