// Scratch files for the core tests: one folder per test process under $HARMO_TMP (or the system's
// temporary folder), removed when the process ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hg::test {

// The full path of `name` in this process's scratch folder.
std::string scratchPath(std::string_view name);

// Whole-file helpers for building bad inputs.
std::vector<uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace hg::test
