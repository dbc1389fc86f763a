#include <windows.h>
#include <commctrl.h>

#include "win32/plan/Win32PlanSystem.h"
#include "win32/platform/Owners.h"

#include <gtest/gtest.h>

#include <string>

#include "support/win32/MessageBoxRecorder.h"
#include "support/win32/RegistryKey.h"
#include "support/win32/SystemText.h"
#include "support/win32/TempFolder.h"
#include "core/paths/InstallRoot.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/text/TextLine.h"
#include "resource.h"

namespace velkast {
namespace {

using testing::MessageBoxRecorder;
using testing::RecordedBox;
using testing::RegistryKey;
using testing::TempFolder;

TEST(GetInstallDirOnWin32, RealValuesBecomeInstallRoots) {
    struct Case {
        std::wstring value;
        DWORD bytes;  // 0: the text and its NUL
        bool found;
        std::wstring rootPath;  // MakeRootPath(0, L"") afterwards
    };
    const Case cases[] = {
        {L"C:\\App", 0, true, L"C:\\App\\"},
        {L"C:\\App\\", 0, true, L"C:\\App\\"},
        {L"C:/App", 0, true, L"C:\\App\\"},
        {L"C:\\\\App", 0, true, L"C:\\App\\"},
        {std::wstring(258, L'x'), 0, true, std::wstring(258, L'x') + L"\\"},
        {std::wstring(259, L'x'), 0, false, L""},    // no room left for the backslash
        {std::wstring(300, L'x'), 0, false, L""},    // larger than the 520-byte buffer
        {std::wstring(260, L'x'), 520, false, L""},  // fills the buffer without a NUL
    };
    Win32PlanSystem system(nullptr);
    for (const auto& c : cases) {
        RegistryKey key(HKEY_CURRENT_USER, KEY_WOW64_64KEY);
        key.SetString(c.value, L"INSTALLDIR", c.bytes);
        EXPECT_EQ(GetInstallDir(system, key.path(), RegistryHive::CurrentUser), c.found) << c.value.size();
        EXPECT_EQ(std::wstring(MakeRootPath(0, L"")), c.rootPath) << c.value.size();
    }
}

TEST(GetInstallDirOnWin32, HivesAndViews) {
    Win32PlanSystem system(nullptr);
    const std::wstring leaf = L"App";

    // The same path in both hives: each hive answers with its own value.
    RegistryKey user(HKEY_CURRENT_USER, KEY_WOW64_64KEY);
    user.SetString(L"C:\\User");
    ASSERT_TRUE(GetInstallDir(system, user.path(), RegistryHive::CurrentUser));
    EXPECT_STREQ(InstallRootBuffer(), L"C:\\User\\");
    EXPECT_FALSE(GetInstallDir(system, user.path(), RegistryHive::LocalMachine));

    // A key without the value is not found.
    RegistryKey empty(HKEY_CURRENT_USER, KEY_WOW64_64KEY);
    empty.SetString(L"C:\\Elsewhere", L"OTHER");
    EXPECT_FALSE(GetInstallDir(system, empty.path(), RegistryHive::CurrentUser));

    // A key that a 32-bit installer wrote lives in the 32-bit view only.
    RegistryKey wow(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY);
    wow.SetString(L"C:\\Program Files (x86)\\App");
    HKEY probe = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, wow.path().c_str(), 0, KEY_READ, &probe), ERROR_SUCCESS)
        << "the key should not be visible in the 64-bit view";
    ASSERT_TRUE(GetInstallDir(system, wow.path(), RegistryHive::LocalMachine));
    EXPECT_STREQ(InstallRootBuffer(), L"C:\\Program Files (x86)\\App\\");
}

TEST(GetInstallDirOnWin32, SixtyFourBitViewFirstThenThirtyTwo) {
    Win32PlanSystem system(nullptr);
    RegistryKey native(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, L"Both");
    // Same path in the 32-bit view: make it under the same unique base.
    const std::wstring path = native.path();
    UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring wowValue = L"D:\\Wow";
    RegSetValueExW(key.get(), L"INSTALLDIR", 0, REG_SZ, reinterpret_cast<const BYTE*>(wowValue.c_str()),
                   static_cast<DWORD>((wowValue.size() + 1) * sizeof(wchar_t)));

    // The 64-bit key has no value yet: the 32-bit one is used.
    ASSERT_TRUE(GetInstallDir(system, path, RegistryHive::LocalMachine));
    EXPECT_STREQ(InstallRootBuffer(), L"D:\\Wow\\");

    native.SetString(L"D:\\Native");
    ASSERT_TRUE(GetInstallDir(system, path, RegistryHive::LocalMachine));
    EXPECT_STREQ(InstallRootBuffer(), L"D:\\Native\\");

    UniqueRegKey parent;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\VelkastTest", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                      parent.put()) == ERROR_SUCCESS) {
        const std::wstring base = path.substr(0, path.rfind(L'\\'));
        RegDeleteTreeW(parent.get(), base.substr(base.rfind(L'\\') + 1).c_str());
    }
}

// A program folder with an update script's files, an installed application
// with its key, and the plan that the real system makes of the script.
class Win32Plan : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryW((program / L"files").c_str(), nullptr);
        CreateDirectoryW((program / L"files\\sub").c_str(), nullptr);
        testing::WriteFile(program / L"files\\a.txt", std::string(10, 'a'));
        testing::WriteFile(program / L"files\\sub\\b.dat", std::string(2000, 'b'));
        testing::WriteFile(program / L"after.bat", "@echo off\r\n");
        testing::WriteFile(install / L"app.exe", "MZ");
        key.SetString(install.path().substr(0, install.path().size() - 1));  // without its backslash
    }

    bool Build(const std::string& body, HWND owner = nullptr) {
        script = "launch\r\n[SetParamter]\r\n" + Narrow(key.path()) + "\r\n" + body;
        EXPECT_TRUE(store.Load(script.data(), static_cast<std::uint32_t>(script.size())));
        job.programFolder = program.path();
        Win32PlanSystem system(owner);
        return CopyPlanBuilder(store, job, system).Build();
    }

    static std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

    TempFolder program;
    TempFolder install;
    RegistryKey key{HKEY_CURRENT_USER, KEY_WOW64_64KEY};
    std::string script;
    CTextLine store;
    CopyJob job;
};

TEST_F(Win32Plan, RealFilesAndKeyGiveThePlan) {
    MessageBoxRecorder boxes;
    ASSERT_TRUE(
        Build("1,app.exe\r\n1\r\nmessage\r\n%Root%\\files\\\r\na.txt\r\nsub\\b.dat\r\n"
              "[SetPostProc]\r\n%Root%\\after.bat\r\n"));
    EXPECT_TRUE(boxes.boxes().empty());
    ASSERT_EQ(job.entries.size(), 2u);
    EXPECT_EQ(job.entries[0].fileName, L"a.txt");
    EXPECT_EQ(job.entries[0].sourceFolder, program / L"files\\");
    EXPECT_EQ(job.entries[0].targetFolder, install.path());
    EXPECT_EQ(job.entries[1].fileName, L"sub\\b.dat");
    EXPECT_EQ(job.totalBytes, 2010u);
    EXPECT_EQ(job.postProcessPath, program / L"after.bat");
    EXPECT_EQ(job.postProcessFolder, program.path());
}

TEST_F(Win32Plan, MissingSourceShowsSystemTextThenFileBox) {
    MessageBoxRecorder boxes;
    const HWND owner = GetDesktopWindow();
    EXPECT_FALSE(Build("None\r\n0\r\nmessage\r\n%Root%\\files\\\r\na.txt\r\ngone.txt\r\n", owner));
    const std::vector<RecordedBox> expected = {
        {nullptr, testing::SystemText(ERROR_FILE_NOT_FOUND), L"エラー", MB_OK | MB_ICONINFORMATION},
        {owner,
         L"コピーするファイルの取得に失敗しました。\n"
         L"テキストに書かれているファイル名と実際のファイル名を比べてみてください\n\n"
         L"[テキストに書かれているコピーしたいファイル名]  gone.txt",
         L"ファイル取得エラー", MB_OK | MB_TOPMOST},
    };
    EXPECT_EQ(boxes.boxes(), expected);
}

TEST_F(Win32Plan, RequiredBlockShowsItsShiftJisMessage) {
    MessageBoxRecorder boxes;
    // アプリがありません in code page 932.
    EXPECT_FALSE(
        Build("1,app.exe,missing.dll\r\n1\r\n"
              "\x83\x41\x83\x76\x83\x8A\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\r\n"
              "%Root%\\files\\\r\na.txt\r\n"));
    const std::vector<RecordedBox> expected = {
        {nullptr, L"アプリがありません", std::nullopt, MB_OK | MB_TOPMOST}};
    EXPECT_EQ(boxes.boxes(), expected);
}

}  // namespace
}  // namespace velkast
