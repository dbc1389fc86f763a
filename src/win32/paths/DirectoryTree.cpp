#include <windows.h>
#include <shlwapi.h>

#include "win32/paths/DirectoryTree.h"

#include <string>

#include "core/paths/FolderPart.h"
#include "core/paths/PathText.h"

namespace velkast {

bool CreateDirectoryTree(const wchar_t* path) {
    std::wstring work = path == nullptr ? std::wstring() : std::wstring(path);
    ToBackslashes(work);
    AddBackslash(work);

    SplitParts parts{};
    if (!SplitPath(work.c_str(), parts)) {
        return false;
    }
    if (work.empty() || PathIsRelativeW(work.c_str()) || work.find(L"\\\\") != std::wstring::npos ||
        PathGetDriveNumberW(work.c_str()) == -1) {
        return false;
    }

    // The candidates are the drive, the root backslash and the levels up to
    // the one at hand, each with its trailing backslash: C:\a\, C:\a\b\, ...
    const std::wstring directory = parts.directory;
    for (std::size_t k = directory.find(L'\\', 1); k != std::wstring::npos;
         k = directory.find(L'\\', k + 1)) {
        wchar_t candidate[MAX_PATH];
        if (CopyPathText(candidate, parts.drive) != kPathCopied ||
            !PathAppendW(candidate, directory.substr(0, k + 1).c_str())) {
            return false;
        }
        if (PathIsDirectoryW(candidate)) {
            continue;
        }
        if (!CreateDirectoryW(candidate, nullptr)) {
            return false;
        }
    }
    return true;
}

}  // namespace velkast
