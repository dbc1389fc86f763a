#include "tools/check/Win32CheckSystem.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "core/text/TextBase.h"
#include "tools/check/CheckCommand.h"
#include "win32/errors/SystemErrorText.h"
#include "win32/files/OpenForRead.h"
#include "win32/files/PathAttributes.h"
#include "win32/plan/InstallDirRegistry.h"

namespace velkast::check {
namespace {

// The system's text for the error code on one line, or the code itself.
std::wstring Reason(DWORD code) {
    std::wstring text = SystemErrorText(code);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? L"error " + std::to_wstring(code) : text;
}

class WindowsHost : public CheckHost {
public:
    bool ReadFile(const std::wstring& path, std::string& bytes, std::wstring& reason) override {
        DWORD error = ERROR_SUCCESS;
        const UniqueFile file = TryOpenForRead(path.c_str(), error);
        if (!file) {
            reason = Reason(error);
            return false;
        }
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.get(), &size)) {
            reason = Reason(GetLastError());
            return false;
        }
        // The updater reads no larger file.
        if (size.QuadPart >= CTextBase::kInvalidFileSize) {
            reason = L"the file is too large";
            return false;
        }
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (!bytes.empty() &&
            !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
            reason = Reason(GetLastError());
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

bool Win32CheckSystem::ReadInstallDir(RegistryHive hive, const std::wstring& key, PathBuffer& value) {
    return ReadInstallDirValue(hive, key, value);
}

bool Win32CheckSystem::IsPathMissing(const std::wstring& path) {
    return HasNoAttributes(path);
}

std::optional<std::uint64_t> Win32CheckSystem::OpenForReadSize(const std::wstring& path,
                                                               std::wstring& reason) {
    DWORD error = ERROR_SUCCESS;
    const UniqueFile file = TryOpenForRead(path.c_str(), error);
    if (!file) {
        reason = Reason(error);
        return std::nullopt;
    }
    return OpenFileSize(file.get());
}

}  // namespace velkast::check
