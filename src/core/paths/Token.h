#pragma once
// Taking tokens from a text, one at a time.

#include <cstdint>
#include <string>
#include <vector>

namespace velkast {

// Returns the next token of the text from the position on: delimiters are
// skipped, then the token runs up to the next delimiter or the end, and the
// position moves just past that delimiter. Runs of delimiters count as one, so
// no token is empty. When there is none left the result is empty and the
// position becomes -1. A position that is negative or past the end yields the
// same; a caller that has received -1 is done with the text.
std::wstring NextToken(const std::wstring& text, const wchar_t* delimiters, std::int32_t& position);

// Every token of the text, as NextToken gives them one by one from its start.
std::vector<std::wstring> Tokens(const std::wstring& text, const wchar_t* delimiters);

}  // namespace velkast
