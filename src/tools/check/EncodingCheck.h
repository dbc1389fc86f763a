#pragma once

#include <string>

#include "tools/check/Diagnosis.h"

namespace velkast::check {

// Warns of a script that is not in the ANSI code page the updater reads it
// in: UTF-16, UTF-8 (with a byte order mark or with non-ASCII text), NUL
// bytes, lines that end with CR alone.
void CheckEncoding(const std::string& bytes, Diagnostics& out);

}  // namespace velkast::check
