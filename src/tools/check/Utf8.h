#pragma once
// UTF-8, in which the checker writes its reports and reads its arguments on
// Linux, whatever the width of wchar_t.

#include <cstddef>
#include <string>
#include <string_view>

namespace velkast::check {

// The length of the well-formed UTF-8 sequence that begins at the offset (1
// for ASCII), or 0 when none does.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t offset);

// What does not convert becomes U+FFFD.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace velkast::check
