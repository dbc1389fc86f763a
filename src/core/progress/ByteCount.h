#pragma once

#include <cstdint>
#include <string>

namespace velkast {

// Replaces the text with the count in decimal, "," between groups of three
// digits counted from the right (1234567 gives 1,234,567), whatever the
// user's locale; no sign, blank or unit. Returns the text.
std::wstring& FormatByteCount(std::wstring& text, std::uint64_t count);

}  // namespace velkast
