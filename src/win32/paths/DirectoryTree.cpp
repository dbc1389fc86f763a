#include <windows.h>
#include <shlwapi.h>

#include "win32/paths/DirectoryTree.h"

#include <cwchar>
#include <string>

#include "core/paths/FolderPart.h"
#include "core/paths/PathText.h"

namespace velkast {
namespace {

constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";
constexpr std::size_t kExtendedPrefixLength = 4;

bool StartsWith(const std::wstring& text, std::size_t at, const wchar_t* prefix) {
    return text.compare(at, std::wcslen(prefix), prefix) == 0;
}

// The end of "server\share\" that begins at the position; 0 when either name
// is missing.
std::size_t ShareEnd(const std::wstring& path, std::size_t start) {
    const std::size_t server = path.find(L'\\', start);
    if (server == std::wstring::npos || server == start) {
        return 0;
    }
    const std::size_t share = path.find(L'\\', server + 1);
    if (share == std::wstring::npos || share == server + 1) {
        return 0;
    }
    return share + 1;
}

// The length of the leading part that names the volume, with its backslash:
// "C:\", "\\?\C:\", "\\server\share\" or "\\?\UNC\server\share\". 0 for a
// relative or driveless path, or a prefix without its names.
std::size_t VolumeRootLength(const std::wstring& path) {
    std::size_t start = 0;
    if (StartsWith(path, 0, kExtendedPrefix)) {
        if (StartsWith(path, kExtendedPrefixLength, L"UNC\\")) {
            return ShareEnd(path, kExtendedPrefixLength + 4);
        }
        start = kExtendedPrefixLength;
    } else if (StartsWith(path, 0, L"\\\\")) {
        return ShareEnd(path, 2);
    }
    const std::wstring rest = path.substr(start);
    if (PathIsRelativeW(rest.c_str()) || PathGetDriveNumberW(rest.c_str()) == -1 || rest.size() < 3 ||
        rest[2] != L'\\') {
        return 0;
    }
    return start + 3;
}

}  // namespace

bool CreateDirectoryTree(const wchar_t* path) {
    std::wstring work = path == nullptr ? std::wstring() : std::wstring(path);
    ToBackslashes(work);
    AddBackslash(work);

    const std::size_t root = VolumeRootLength(work);
    // Doubled separators are refused everywhere past the volume's own prefix.
    if (root == 0 || work.find(L"\\\\", root - 1) != std::wstring::npos) {
        return false;
    }
    // Without the extended prefix every level must fit a path buffer, and the
    // runtime must be able to split the path.
    const bool extended = StartsWith(work, 0, kExtendedPrefix);
    SplitParts parts{};
    if (!extended && (work.size() >= MAX_PATH || !SplitPath(work.c_str(), parts))) {
        return false;
    }

    // Most calls find the whole path there already: one look is enough.
    if (PathIsDirectoryW(work.c_str())) {
        return true;
    }
    // The candidates are the levels below the volume, each with its trailing
    // backslash: C:\a\, C:\a\b\, ...
    for (std::size_t k = work.find(L'\\', root); k != std::wstring::npos; k = work.find(L'\\', k + 1)) {
        const std::wstring candidate = work.substr(0, k + 1);
        if (PathIsDirectoryW(candidate.c_str())) {
            continue;
        }
        if (!CreateDirectoryW(candidate.c_str(), nullptr)) {
            return false;
        }
    }
    return true;
}

}  // namespace velkast
