#include <windows.h>

#include "win32/files/PathAttributes.h"

namespace velkast {

bool HasNoAttributes(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || attributes == 0;
}

}  // namespace velkast
