#pragma once

#include <windows.h>

#include <string>

namespace velkast {

// The system's own text for the error code, in the user's language, with the
// line break that ends it; empty when the system has none for the code.
std::wstring SystemErrorText(DWORD code);

}  // namespace velkast
