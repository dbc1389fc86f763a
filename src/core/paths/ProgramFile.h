#pragma once

#include <string>

namespace velkast {

// Whether the system runs the file itself as a program rather than opening
// it with an application associated with its type: its name ends in .exe,
// .com, .bat or .cmd, in any case. Any other file (.txt, .pdf, .html, .msi,
// a name without extension) is a document.
bool IsProgramFile(const std::wstring& path);

}  // namespace velkast
