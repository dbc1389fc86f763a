#pragma once
// The two forms of a check report: text for people, editors and CI (one
// diagnostic a line, as compilers write them), and JSON for tools. Both are
// the same on every build; the program writes them out in UTF-8.

#include <string>

#include "tools/check/ScriptCheck.h"

namespace velkast::check {

std::wstring FormatText(const CheckReport& report);
std::wstring FormatJson(const CheckReport& report);

// UTF-8 and wide text, whatever the width of wchar_t; what does not convert
// becomes U+FFFD.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace velkast::check
