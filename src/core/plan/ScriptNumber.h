#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velkast {

// A number of the update script: leading white space skipped, an optional
// sign, then the decimal digits up to the first other character; no digits
// give 0, and values beyond the 32-bit range stop at its ends.
std::int32_t ParseScriptNumber(const std::wstring& text);

// How many characters of the text ParseScriptNumber reads as the number: the
// white space, the sign and the digits. 0 when there are no digits.
std::size_t ScriptNumberLength(const std::wstring& text);

}  // namespace velkast
