#pragma once
// The arithmetic of the progress display: the bytes copied over the whole
// plan, and the percentage that the bar and its text show.

#include <cstdint>
#include <string>

namespace velkast {

struct CopyJob;

// Takes the copy service's count of bytes transferred for the file being
// copied and moves the job's copiedBytes by as much as that count moved since
// the last report for this file (fileBytesCounted, which the worker sets to 0
// before each file). Counts are 64-bit, so nothing wraps for large files.
void AdvanceCopiedBytes(CopyJob& job, std::uint64_t fileBytesTransferred);

// copied / total × 100, in double precision, division first, truncated; 0
// when the result is not a number or beyond the 64-bit range (a total of 0).
// A file that grew after the plan was made can take it past 100.
std::uint64_t ProgressPercent(std::uint64_t copied, std::uint64_t total);

// The percentage's text: its low 32 bits as a signed number, right-aligned
// in three characters, a blank and a percent sign (" 28 %", "100 %").
std::wstring PercentText(std::uint64_t percent);

}  // namespace velkast
