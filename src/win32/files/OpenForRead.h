#pragma once
// Opening an existing file for reading, as the updater opens the update
// script and every file it plans to copy: others may read the file meanwhile,
// but not write it.

#include <windows.h>

#include <cstdint>

#include "win32/platform/Owners.h"

namespace velkast {

// The open file, or an empty handle with the system's error code.
UniqueFile TryOpenForRead(const wchar_t* path, DWORD& error);

// The open file; when it cannot be opened, tells the user why in a box and
// returns an empty handle.
UniqueFile OpenForRead(const wchar_t* path);

// The size of an open file; 0 when the system cannot tell it.
std::uint64_t OpenFileSize(HANDLE file);

}  // namespace velkast
