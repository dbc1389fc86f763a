#pragma once
// The record of one run: the copy plan that the plan builder fills and the
// copy worker carries out, and the counts of its progress. It holds portable
// data only; the windows, the worker thread and the script store belong to
// the parts of the program that own them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/job/CopyEntry.h"

namespace velkast {

// The most file lines one plan accepts.
constexpr std::size_t kMaxCopyEntries = 2048;

struct CopyJob {
    std::wstring programFolder;  // folder of the program file, ending in a backslash
    std::vector<CopyEntry> entries;
    std::uint64_t totalBytes = 0;    // of every planned source file
    std::wstring postProcessPath;    // empty when the script names none
    std::wstring postProcessFolder;  // its drive and folder, ending in a separator
    // Written only by the copy worker's thread while it copies.
    std::uint64_t copiedBytes = 0;
    std::uint64_t fileBytesCounted = 0;
};

}  // namespace velkast
