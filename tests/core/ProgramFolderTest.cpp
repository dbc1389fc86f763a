#include "core/paths/ProgramFolder.h"

#include <gtest/gtest.h>

#include <string>

#include "core/paths/InstallRoot.h"

namespace velkast {
namespace {

TEST(ProgramFolder, FormedAsStartUpFormsIt) {
    const struct {
        std::wstring folder;
        std::wstring programFolder;
    } cases[] = {
        {L"C:\\pkg", L"C:\\pkg\\"},
        {L"C:/pkg//sub/", L"C:\\pkg\\sub\\"},
        {L"\\\\server\\share", L"\\\\server\\share\\"},
        // Cut at 259 characters, with no room left for the backslash.
        {L"C:\\" + std::wstring(300, L'a'), L"C:\\" + std::wstring(256, L'a')},
    };
    for (const auto& c : cases) {
        ClearPathBuffers();
        EXPECT_EQ(ProgramFolderOf(c.folder), c.programFolder);
    }
    ClearPathBuffers();
}

TEST(ProgramFolder, OfTheFolderThatHoldsTheFile) {
    EXPECT_EQ(ProgramFolderOfFile(L"C:\\pkg\\Update.up"), L"C:\\pkg\\");
    EXPECT_EQ(ProgramFolderOfFile(L"/home/me/pkg/Update.up"), L"\\home\\me\\pkg\\");
    ClearPathBuffers();
}

}  // namespace
}  // namespace velkast
