// The names the file list shows as recordings: "*.*ha3", "*.*ha4", "*.*ha5", "*.*hm*", "*.*hv*",
// "*.*ha6", "*.*hh*", "*.*hn*", matched without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hg {

const std::vector<std::string>& recordingNamePatterns();

// Whether a file name (no folder) matches one of the patterns.
bool isRecordingName(std::string_view fileName);

// The regular, not hidden files of `folder` whose names are recording names, as paths
// ("folder/name"), sorted by name; empty when the folder cannot be read.
std::vector<std::string> recordingsIn(const std::string& folder);

}  // namespace hg
