#pragma once
// Reading what the shell recorder (support/ShellRecorder.cpp) wrote.

#include <windows.h>

#include <string>
#include <vector>

namespace velkast::testing {

struct ShellRecord {
    std::wstring folder;       // the started program's working folder
    std::wstring commandLine;  // as the program received it
};

// Every record in the file, in the order written; none when it is missing.
std::vector<ShellRecord> ReadRecords(const std::wstring& file);

// The recorder program, beside the test program.
std::wstring ShellRecorderPath();

// Waits (up to about 20 seconds) until the file holds at least count records,
// and returns those it holds.
std::vector<ShellRecord> WaitForRecords(const std::wstring& file, std::size_t count = 1);

}  // namespace velkast::testing
