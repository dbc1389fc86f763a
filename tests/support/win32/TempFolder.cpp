#include <windows.h>

#include "support/win32/TempFolder.h"

#include <atomic>
#include <stdexcept>

#include "win32/platform/Owners.h"

namespace velkast::testing {
namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const UniqueFind find(FindFirstFileW((folder + L"*").c_str(), &found));
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + L"\\");
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find.get(), &found));
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH];
    if (GetTempPathW(MAX_PATH, temp) == 0) {
        throw std::runtime_error("GetTempPathW failed");
    }
    for (;;) {
        path_ = std::wstring(temp) + L"velkast-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++) + L"\\";
        if (CreateDirectoryW(path_.c_str(), nullptr)) {
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            throw std::runtime_error("CreateDirectoryW failed");
        }
    }
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void WriteFile(const std::wstring& path, const std::string& contents) {
    const UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw std::runtime_error("CreateFileW failed");
    }
    DWORD written = 0;
    if (!::WriteFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr)) {
        throw std::runtime_error("WriteFile failed");
    }
}

std::string ReadFileBytes(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return "<missing>";
    }
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    return bytes;
}

}  // namespace velkast::testing
