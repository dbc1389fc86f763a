#pragma once

#include <string>

namespace velkast {

// A NUL-terminated text in the calling thread's ANSI code page, widened, as
// the readers of the update script's fields take them. Null gives empty text.
std::wstring WidenAnsi(const char* text);

}  // namespace velkast
