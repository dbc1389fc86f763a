// The pieces of start-up that can be tried without running the program: the
// program folder and the reading of the script file. The whole run is driven
// end to end in tests/e2e.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/platform/HeapBlock.h"
#include "core/text/TextLine.h"
#include "support/win32/TempFolder.h"
#include "win32/app/Startup.h"
#include "win32/platform/Owners.h"

namespace velkast {
namespace {

using testing::TempFolder;

TEST(ReadScriptFile, OnlyAReadableFileWithBytesGivesABuffer) {
    TempFolder folder;
    testing::WriteFile(folder / L"Update.up", "launch\r\n// comment\r\n");
    testing::WriteFile(folder / L"empty.up", "");
    testing::WriteFile(folder / L"locked.up", "launch\r\n");
    const UniqueFile lock(
        CreateFileW((folder / L"locked.up").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);

    HeapBlock block;
    std::uint32_t size = 0;
    ASSERT_TRUE(ReadScriptFile(folder / L"Update.up", block, size));
    EXPECT_EQ(size, 20u);
    EXPECT_EQ(std::string(block.as<char>(), size), "launch\r\n// comment\r\n");
    EXPECT_FALSE(ReadScriptFile(folder / L"missing.up", block, size));
    EXPECT_FALSE(block);
    EXPECT_FALSE(ReadScriptFile(folder / L"empty.up", block, size));
    EXPECT_FALSE(ReadScriptFile(folder / L"locked.up", block, size));
    EXPECT_FALSE(ReadScriptFile(folder.path(), block, size));  // a folder
}

// An unknown program folder is no folder: nothing is read from the current
// folder of an elevated process, even where that holds a script.
TEST(LoadScript, ReadsFromTheProgramFolderOnly) {
    TempFolder folder;
    testing::WriteFile(folder / L"Update.up", "launch\r\n");
    wchar_t previous[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));

    CTextLine script;
    const bool fromNowhere = LoadScript(L"", script);
    const bool fromTheFolder = LoadScript(folder.path(), script);
    SetCurrentDirectoryW(previous);
    EXPECT_FALSE(fromNowhere);
    EXPECT_TRUE(fromTheFolder);
}

TEST(ProgramFolder, FolderOfTheProgramWithItsBackslash) {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring expected(self, length);
    expected.erase(expected.find_last_of(L'\\') + 1);
    EXPECT_EQ(ProgramFolder(), expected);
}

}  // namespace
}  // namespace velkast
