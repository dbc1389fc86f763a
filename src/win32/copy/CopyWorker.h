#pragma once

#include <windows.h>

#include <string>

namespace velkast {

// The copy worker's thread routine; the argument is the CopyJob. Copies the
// plan's entries in order, stopping at the first failure, then sets the
// heading, enables Exit and opens the post-process item. Ends with 0.
DWORD WINAPI CopyThreadProc(LPVOID job);

// What the dialog shows while a file is copied: its last component without
// its last extension (bin\data.tar.gz gives data.tar).
std::wstring DisplayName(const std::wstring& fileName);

}  // namespace velkast
