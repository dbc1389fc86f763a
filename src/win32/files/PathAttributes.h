#pragma once

#include <string>

namespace velkast {

// True when the path has no file attributes: neither a file nor a folder is
// there, or it cannot be looked at.
bool HasNoAttributes(const std::wstring& path);

}  // namespace velkast
