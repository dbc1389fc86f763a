#pragma once
// The built Velkast.exe, loaded as a data file for its resources: the dialog
// templates, the manifest and the icon. Its path, relative to the test
// program, comes from the build.

#include <windows.h>

#include <string>

namespace velkast::testing {

std::wstring VelkastExePath();

// The module, loaded on first use and kept for the life of the test program;
// null when it cannot be loaded. Makes sure the progress bar class exists.
HMODULE VelkastResources();

}  // namespace velkast::testing
