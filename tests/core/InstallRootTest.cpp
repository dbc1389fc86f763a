#include "core/paths/InstallRoot.h"

#include <gtest/gtest.h>

#include <string>

#include "support/FakePlanSystem.h"

namespace velkast {
namespace {

using testing::FakePlanSystem;

const std::wstring kKey = L"Software\\Example\\App";

TEST(GetInstallDir, ValueBecomesFolderWithBackslash) {
    const std::wstring x258(258, L'x');
    struct Case {
        std::wstring value;
        bool found;
        std::wstring buffer;    // the install-root buffer afterwards
        std::wstring rootPath;  // what MakeRootPath(0, L"") makes of it
    };
    const Case cases[] = {
        {L"C:\\App", true, L"C:\\App\\", L"C:\\App\\"},
        {L"C:\\App\\", true, L"C:\\App\\", L"C:\\App\\"},
        {L"C:/App", true, L"C:/App\\", L"C:\\App\\"},
        {L"C:\\\\App", true, L"C:\\\\App\\", L"C:\\App\\"},
        {L"C:\\\\\\App", true, L"C:\\\\\\App\\", L"C:\\\\App\\"},
        {L"\\\\server\\share\\App", true, L"\\\\server\\share\\App\\", L"\\\\server\\share\\App\\"},
        {x258, true, x258 + L"\\", x258 + L"\\"},
        // No room for the backslash: not found, rather than a root without it.
        {std::wstring(259, L'y'), false, L"", L""},
        {std::wstring(258, L'y') + L"\\", true, std::wstring(258, L'y') + L"\\",
         std::wstring(258, L'y') + L"\\"},
        // A value that fills the whole buffer without a NUL.
        {std::wstring(260, L'z'), false, L"", L""},
        {std::wstring(259, L'z') + L"\\", false, L"", L""},
    };
    for (const auto& c : cases) {
        FakePlanSystem registry;
        registry.registry[{RegistryHive::LocalMachine, kKey}] = c.value;
        CopyPathText(PathSlot(1), L"stale");
        EXPECT_EQ(GetInstallDir(registry, kKey, RegistryHive::LocalMachine), c.found) << c.value.size();
        EXPECT_EQ(std::wstring(InstallRootBuffer()), c.buffer);
        EXPECT_STREQ(PathSlot(1), L"");  // every slot is cleared
        EXPECT_EQ(std::wstring(MakeRootPath(0, L"")), c.rootPath);
    }
}

TEST(GetInstallDir, FailedLookupLeavesBuffersEmpty) {
    FakePlanSystem registry;
    registry.registry[{RegistryHive::CurrentUser, kKey}] = L"C:\\App";
    ASSERT_TRUE(GetInstallDir(registry, kKey, RegistryHive::CurrentUser));
    MakeRootPath(0, L"");
    EXPECT_FALSE(GetInstallDir(registry, kKey, RegistryHive::LocalMachine));
    EXPECT_STREQ(InstallRootBuffer(), L"");
    EXPECT_STREQ(PathSlot(0), L"");
}

TEST(MakeRootPath, JoinsFormatsAndNormalises) {
    ClearPathBuffers();
    CopyPathText(InstallRootBuffer(), L"C:/Program Files//App\\");
    EXPECT_STREQ(MakeRootPath(0, L""), L"C:\\Program Files\\App\\");
    EXPECT_STREQ(MakeRootPath(2, L"sub/%d/x", 7), L"C:\\Program Files\\App\\sub\\7\\x");
    EXPECT_STREQ(PathSlot(0), L"C:\\Program Files\\App\\");  // other slots keep their text

    // The formatted part is cut at 1023 characters, the slot at 259.
    const std::wstring longPart(2000, L'q');
    const std::wstring result = MakeRootPath(3, L"%ls", longPart.c_str());
    EXPECT_EQ(result, (L"C:\\Program Files\\App\\" + longPart).substr(0, 259));

    ClearPathBuffers();
    EXPECT_STREQ(MakeRootPath(0, L""), L"");
}

}  // namespace
}  // namespace velkast
