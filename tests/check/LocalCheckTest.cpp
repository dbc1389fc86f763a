// The checker of this build on real files: a package in a temporary folder,
// with its install root given on the command line (Linux) or in the
// registry (Windows).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tools/check/CheckCommand.h"
#include "tools/check/CheckFormat.h"

#ifdef _WIN32
#include <windows.h>

#include "win32/platform/Owners.h"
#else
#include <unistd.h>
#endif

namespace velkast::check {
namespace {

namespace fs = std::filesystem;

// A folder of the test's own, removed with what it holds.
class Scratch {
public:
    Scratch() {
#ifdef _WIN32
        const auto id = GetCurrentProcessId();
#else
        const auto id = getpid();
#endif
        path_ = fs::temp_directory_path() / ("velkast-check-" + std::to_string(id));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const fs::path& path() const {
        return path_;
    }
    void Write(const fs::path& relative, const std::string& bytes) const {
        fs::create_directories((path_ / relative).parent_path());
        std::ofstream(path_ / relative, std::ios::binary) << bytes;
    }

private:
    fs::path path_;
};

#ifdef _WIN32
// INSTALLDIR of a key of the test's own under HKEY_CURRENT_USER.
class InstallDirKey {
public:
    explicit InstallDirKey(const std::wstring& folder)
        : path_(L"Software\\VelkastCheckTest\\" + std::to_wstring(GetCurrentProcessId())) {
        UniqueRegKey key;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key.get(), L"INSTALLDIR", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                           static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        }
    }
    ~InstallDirKey() { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
    InstallDirKey(const InstallDirKey&) = delete;
    InstallDirKey& operator=(const InstallDirKey&) = delete;
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};
#endif

TEST(LocalCheck, PackageOnDisk) {
    Scratch scratch;
    fs::create_directories(scratch.path() / "app");
    scratch.Write("pkg/files/viewer.exe", "0123456789");
    const std::wstring app = (scratch.path() / "app").wstring();
    std::vector<std::wstring> args;
#ifdef _WIN32
    InstallDirKey key(app);
    const std::string keyPath = ToUtf8(key.path());
#else
    const std::string keyPath = "Software\\VelkastCheckTest";
    args = {L"--installdir", FromUtf8(keyPath) + L"=" + app};
#endif
    // The file line's case differs from the file's, which Windows ignores.
    scratch.Write("pkg/Update.up", "[Update]\r\n[SetParamter]\r\n" + keyPath +
                                       "\r\nNone\r\n1\r\nnot installed\r\n%Root%\\files\\\r\nVIEWER.EXE\r\n");
    scratch.Write("pkg/Other.up",
                  "[Update]\r\n[SetParamter]\r\nSoftware\\VelkastCheckTest\\Nowhere\r\nNone\r\n1\r\n"
                  "not installed\r\n%Root%\\files\\\r\nviewer.exe\r\n");

    const std::unique_ptr<CheckHost> host = MakeLocalHost();
    args.push_back((scratch.path() / "pkg" / "Update.up").wstring());
    const CommandResult accepted = RunCheckCommand(args, *host);
    EXPECT_EQ(accepted.status, 0) << ToUtf8(accepted.out);
    EXPECT_NE(accepted.out.find(L"VIEWER.EXE, 10 bytes"), std::wstring::npos) << ToUtf8(accepted.out);

    args.back() = (scratch.path() / "pkg" / "Other.up").wstring();
    EXPECT_EQ(RunCheckCommand(args, *host).status, 2);
    args.back() = (scratch.path() / "pkg" / "Gone.up").wstring();
    EXPECT_EQ(RunCheckCommand(args, *host).status, 2);
}

}  // namespace
}  // namespace velkast::check
