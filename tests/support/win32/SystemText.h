#pragma once

#include <windows.h>

#include <string>

namespace velkast::testing {

// The system's own text for an error code, as FormatMessageW gives it in the
// user's language (ending in its line break); empty when it has none.
std::wstring SystemText(DWORD code);

}  // namespace velkast::testing
