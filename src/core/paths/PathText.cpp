#include "core/paths/PathText.h"

#include <algorithm>

namespace velkast {

std::int32_t CopyPathText(PathBuffer& dest, const wchar_t* src) {
    std::size_t length = 0;
    if (src != nullptr) {
        while (length < kMaxPath && src[length] != L'\0') {
            ++length;
        }
    }
    const bool cut = length == kMaxPath;
    const std::size_t kept = cut ? kMaxPath - 1 : length;
    std::copy_n(src == nullptr ? L"" : src, kept, dest);
    dest[kept] = L'\0';
    return cut ? kPathCut : kPathCopied;
}

void AddBackslash(std::wstring& path) {
    path.resize(path.find(L'\0') == std::wstring::npos ? path.size() : path.find(L'\0'));
    if (path.empty() || path.size() >= kMaxPath - 1 || path.back() == L'\\') {
        return;
    }
    path.push_back(L'\\');
}

void ToBackslashes(std::wstring& path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
}

void CollapseBackslashes(std::wstring& path) {
    // A network path begins with exactly two backslashes and a server name.
    const bool network = path.size() > 2 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
    std::size_t read = network ? 2 : 0;
    std::size_t write = read;
    while (read < path.size()) {
        if (path[read] == L'\\' && read + 1 < path.size() && path[read + 1] == L'\\') {
            path[write++] = L'\\';
            read += 2;
        } else {
            path[write++] = path[read++];
        }
    }
    path.resize(write);
}

}  // namespace velkast
