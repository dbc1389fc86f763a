#pragma once
// The two forms of a check report: text for people, editors and CI (one
// diagnostic a line, as compilers write them), and JSON for tools. Both are
// the same on every build; the program writes them out in UTF-8.

#include <string>

#include "tools/check/CheckReport.h"
#include "tools/check/Utf8.h"

namespace velkast::check {

std::wstring FormatText(const CheckReport& report);
std::wstring FormatJson(const CheckReport& report);

}  // namespace velkast::check
