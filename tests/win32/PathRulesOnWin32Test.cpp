// The core's path rules are portable reimplementations of what the system's
// path functions do; these tests hold them against the real calls.

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/paths/FolderPart.h"
#include "core/paths/PathText.h"

namespace velkast {
namespace {

TEST(Win32Environment, AnsiCodePageIs932) {
    EXPECT_EQ(GetACP(), 932u) << "run the tests with LANG=ja_JP.UTF-8 and the locale generated";
}

// A text of 259 characters is left out: there the backslash and the NUL do not
// fit the MAX_PATH buffer that the function documents, so it must refuse; Wine
// appends all the same and writes past such a buffer. The core follows the
// documented contract (see the AddBackslash tests).
TEST(PathRulesOnWin32, AddBackslashAgreesWithPathAddBackslashW) {
    const std::wstring inputs[] = {
        L"",
        L"C:",
        L"C:\\App",
        L"C:\\App\\",
        L"C:/App",
        L"\\\\server\\share",
        std::wstring(257, L'x'),
        std::wstring(258, L'x'),
        std::wstring(258, L'x') + L"\\",
    };
    for (const auto& input : inputs) {
        wchar_t buffer[MAX_PATH + 8] = {};
        input.copy(buffer, input.size());
        PathAddBackslashW(buffer);

        std::wstring ours = input;
        AddBackslash(ours);
        EXPECT_EQ(ours, std::wstring(buffer)) << "length " << input.size();
    }
}

TEST(PathRulesOnWin32, SplitPathAgreesWithWsplitpathS) {
    const std::wstring inputs[] = {
        L"C:\\dir\\sub\\file.ext",
        L"file.ext",
        L"C:file",
        L"C:/a/b.tar.gz",
        L"a.b\\c",
        L"\\\\server\\share\\f",
        L"C:\\dir\\",
        L"",
        L".hidden",
        L"C:\\" + std::wstring(255, L'n') + L".x",
    };
    for (const auto& input : inputs) {
        wchar_t drive[3], dir[256], name[256], ext[256];
        ASSERT_EQ(_wsplitpath_s(input.c_str(), drive, 3, dir, 256, name, 256, ext, 256), 0);

        SplitParts parts{};
        ASSERT_TRUE(SplitPath(input.c_str(), parts));
        EXPECT_STREQ(parts.drive, drive);
        EXPECT_STREQ(parts.directory, dir);
        EXPECT_STREQ(parts.name, name);
        EXPECT_STREQ(parts.extension, ext);
    }
}

}  // namespace
}  // namespace velkast
