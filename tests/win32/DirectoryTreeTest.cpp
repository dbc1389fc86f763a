#include <windows.h>

#include "win32/paths/DirectoryTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/win32/TempFolder.h"

namespace velkast {
namespace {

using testing::Exists;
using testing::IsDirectory;
using testing::TempFolder;

std::wstring WithSlashes(std::wstring path) {
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return path;
}

TEST(CreateDirectoryTree, CreatesMissingLevelsTopDown) {
    TempFolder temp;
    ASSERT_TRUE(CreateDirectoryW((temp / L"a").c_str(), nullptr));

    EXPECT_TRUE(CreateDirectoryTree((temp / L"a\\b").c_str()));
    EXPECT_TRUE(IsDirectory(temp / L"a\\b"));

    EXPECT_TRUE(CreateDirectoryTree((temp / L"x\\y\\z\\").c_str()));
    EXPECT_TRUE(IsDirectory(temp / L"x\\y\\z"));

    // Forward slashes count as backslashes.
    EXPECT_TRUE(CreateDirectoryTree(WithSlashes(temp / L"s/t").c_str()));
    EXPECT_TRUE(IsDirectory(temp / L"s\\t"));

    // Japanese names are plain wide text.
    EXPECT_TRUE(CreateDirectoryTree((temp / L"更新\\データ").c_str()));
    EXPECT_TRUE(IsDirectory(temp / L"更新\\データ"));

    // Everything there already: nothing to do.
    EXPECT_TRUE(CreateDirectoryTree((temp / L"x\\y").c_str()));
}

TEST(CreateDirectoryTree, DriveRootNeedsNothing) {
    wchar_t windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 2u);
    const std::wstring drive(windows, 2);  // such as C:
    EXPECT_TRUE(CreateDirectoryTree((drive + L"\\").c_str()));
    EXPECT_TRUE(CreateDirectoryTree(drive.c_str()));
}

TEST(CreateDirectoryTree, RefusedFormsTouchNothing) {
    TempFolder temp;
    wchar_t previous[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(temp.path().c_str()));

    const std::wstring refused[] = {
        temp / L"a\\\\b",
        L"\\\\?\\" + temp / L"a\\\\b",
        L"\\\\server\\share\\a\\\\b",
        L"\\\\server\\\\a",
        L"\\\\?\\UNC\\server",
        L"\\\\?\\a\\b",
        WithSlashes(temp / L"a") + L"//b",
        temp / L"a/\\b",
        L"",
        L"a\\b",
        L"\\a\\b",
    };
    for (const auto& path : refused) {
        EXPECT_FALSE(CreateDirectoryTree(path.c_str())) << "path of " << path.size() << " characters";
    }
    EXPECT_FALSE(CreateDirectoryTree(nullptr));
    EXPECT_FALSE(Exists(temp / L"a"));

    SetCurrentDirectoryW(previous);
}

// Install roots may come in extended form; a plan accepted for such a root
// must not fail at its folders.
TEST(CreateDirectoryTree, ExtendedFormCreatesLikeThePlainForm) {
    TempFolder temp;
    const std::wstring extended = L"\\\\?\\" + temp / L"x\\y\\";
    EXPECT_TRUE(CreateDirectoryTree((extended + L"z").c_str()));
    EXPECT_TRUE(IsDirectory(temp / L"x\\y\\z"));
    EXPECT_TRUE(CreateDirectoryTree(extended.c_str()));
}

TEST(CreateDirectoryTree, LevelThatIsAFileFails) {
    TempFolder temp;
    ASSERT_TRUE(CreateDirectoryW((temp / L"a").c_str(), nullptr));
    testing::WriteFile(temp / L"a\\b", "not a folder");

    EXPECT_FALSE(CreateDirectoryTree((temp / L"a\\b\\c").c_str()));
    EXPECT_FALSE(Exists(temp / L"a\\b\\c"));
    EXPECT_FALSE(IsDirectory(temp / L"a\\b"));
}

TEST(CreateDirectoryTree, DirectoryPartTooLongFailsWithoutCreating) {
    TempFolder temp;
    const std::wstring path = temp / (std::wstring(120, L'p') + L"\\" + std::wstring(140, L'q') + L"\\r");
    EXPECT_FALSE(CreateDirectoryTree(path.c_str()));
    EXPECT_FALSE(Exists(temp / std::wstring(120, L'p')));
}

}  // namespace
}  // namespace velkast
