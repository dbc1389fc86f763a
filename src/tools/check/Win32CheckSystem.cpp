#include "tools/check/Win32CheckSystem.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "tools/check/CheckCommand.h"

#include "win32/platform/Owners.h"
#include "win32/plan/InstallDirRegistry.h"

namespace velkast::check {
namespace {

// The most a script may weigh: the updater reads no larger file.
constexpr LONGLONG kMaxScript = 0xFFFFFFFFLL;

class WindowsHost : public CheckHost {
public:
    bool ReadFile(const std::wstring& path, std::string& bytes, std::wstring& reason) override {
        const HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened == INVALID_HANDLE_VALUE) {
            reason = SystemErrorText(GetLastError());
            return false;
        }
        const UniqueHandle file(opened);
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.get(), &size)) {
            reason = SystemErrorText(GetLastError());
            return false;
        }
        if (size.QuadPart >= kMaxScript) {
            reason = L"the file is too large";
            return false;
        }
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (!bytes.empty() &&
            !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
            reason = SystemErrorText(GetLastError());
            return false;
        }
        bytes.resize(read);
        return true;
    }

    std::wstring AbsolutePath(const std::wstring& path) override {
        const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
        if (needed == 0) {
            return path;
        }
        std::wstring full(needed, L'\0');
        const DWORD written = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
        full.resize(written < needed ? written : 0);
        return full.empty() ? path : full;
    }

    bool TakesInstallDirs() const override { return false; }

    std::unique_ptr<CheckSystem> MakeSystem(const std::vector<InstallDirOption>&) override {
        return std::make_unique<Win32CheckSystem>();
    }
};

}  // namespace

std::unique_ptr<CheckHost> MakeLocalHost() {
    return std::make_unique<WindowsHost>();
}

std::wstring SystemErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 && buffer != nullptr ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? L"error " + std::to_wstring(code) : text;
}

bool Win32CheckSystem::ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) {
    return ReadInstallDirValue(hive, key, value);
}

bool Win32CheckSystem::IsPathMissing(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || attributes == 0;
}

std::optional<std::uint64_t> Win32CheckSystem::OpenForReadSize(const std::wstring& path,
                                                               std::wstring& reason) {
    const HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        reason = SystemErrorText(GetLastError());
        return std::nullopt;
    }
    const UniqueHandle file(opened);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
        return std::uint64_t{0};
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

}  // namespace velkast::check
