#include "tools/check/Win32CheckSystem.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "win32/platform/Owners.h"

namespace velkast::check {
namespace {

namespace fs = std::filesystem;

TEST(Win32CheckSystem, RegistryAndFilesAsTheUpdaterAsks) {
    const std::wstring keyPath =
        L"Software\\VelkastCheckTest\\System" + std::to_wstring(GetCurrentProcessId());
    const std::wstring root = L"C:\\App";
    {
        UniqueRegKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  key.put(), nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key.get(), L"INSTALLDIR", 0, REG_SZ, reinterpret_cast<const BYTE*>(root.c_str()),
                       static_cast<DWORD>((root.size() + 1) * sizeof(wchar_t)));
    }

    Win32CheckSystem system;
    PathBuffer value = {};
    EXPECT_TRUE(system.ReadInstallDir(RegistryHive::CurrentUser, keyPath, value));
    EXPECT_EQ(std::wstring(value), root);
    PathBuffer none = {};
    EXPECT_FALSE(system.ReadInstallDir(RegistryHive::CurrentUser, keyPath + L"\\Nowhere", none));
    EXPECT_EQ(std::wstring(none), L"");
    RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str());

    const fs::path folder =
        fs::temp_directory_path() / ("velkast-check-system-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
    std::ofstream(folder / "a.txt", std::ios::binary) << "0123";
    std::wstring reason;
    EXPECT_EQ(system.OpenForReadSize((folder / "a.txt").wstring(), reason), std::optional<std::uint64_t>(4));
    EXPECT_EQ(system.OpenForReadSize((folder / "gone.txt").wstring(), reason), std::nullopt);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(system.OpenForReadSize(folder.wstring(), reason), std::nullopt);
    EXPECT_FALSE(system.IsPathMissing(folder.wstring()));
    EXPECT_TRUE(system.IsPathMissing((folder / "gone.txt").wstring()));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace velkast::check
