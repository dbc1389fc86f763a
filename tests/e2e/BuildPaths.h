#pragma once
// Programs of the build that the driver runs, found through their paths
// relative to the driver, which the build passes in.

#include <string>

namespace velkast::e2e {

// The path of a file given relative to the driver's own folder.
std::wstring BuildPath(const char* relative);

// The built Velkast.exe.
std::wstring VelkastExePath();

}  // namespace velkast::e2e
