#include "core/paths/FolderPart.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>

namespace velkast {
namespace {

template <std::size_t N>
bool PutPart(wchar_t (&buffer)[N], const wchar_t* begin, const wchar_t* end) {
    const auto length = static_cast<std::size_t>(end - begin);
    if (length >= N) {
        return false;
    }
    std::copy(begin, end, buffer);
    buffer[length] = L'\0';
    return true;
}

void EmptyParts(SplitParts& parts) {
    parts.drive[0] = parts.directory[0] = parts.name[0] = parts.extension[0] = L'\0';
}

}  // namespace

bool SplitPath(const wchar_t* path, SplitParts& parts) {
    EmptyParts(parts);
    if (path == nullptr) {
        return false;
    }
    const wchar_t* const end = path + std::wcslen(path);
    const wchar_t* rest = path;
    if (end - path >= 2 && path[1] == L':') {
        rest = path + 2;
    }
    const wchar_t* nameBegin = rest;
    for (const wchar_t* p = rest; p != end; ++p) {
        if (*p == L'\\' || *p == L'/') {
            nameBegin = p + 1;
        }
    }
    const wchar_t* extBegin = end;
    for (const wchar_t* p = nameBegin; p != end; ++p) {
        if (*p == L'.') {
            extBegin = p;
        }
    }
    if (PutPart(parts.drive, path, rest) && PutPart(parts.directory, rest, nameBegin) &&
        PutPart(parts.name, nameBegin, extBegin) && PutPart(parts.extension, extBegin, end)) {
        return true;
    }
    EmptyParts(parts);
    return false;
}

std::wstring GetFolderPart(SplitParts& parts, const wchar_t* path) {
    if (!SplitPath(path, parts)) {
        return std::wstring();
    }
    return std::wstring(parts.drive) + parts.directory;
}

}  // namespace velkast
