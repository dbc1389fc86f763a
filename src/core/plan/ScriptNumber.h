#pragma once

#include <cstdint>
#include <string>

namespace velkast {

// A number of the update script: leading white space skipped, an optional
// sign, then the decimal digits up to the first other character; no digits
// give 0, and values beyond the 32-bit range stop at its ends.
std::int32_t ParseScriptNumber(const std::wstring& text);

}  // namespace velkast
