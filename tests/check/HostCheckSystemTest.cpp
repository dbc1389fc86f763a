#include "tools/check/HostCheckSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tools/check/CheckFormat.h"

namespace velkast::check {
namespace {

class HostCheckSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/velkast-check-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder_ = name;
        mkdir((folder_ + "/Data").c_str(), 0700);
        std::ofstream(folder_ + "/Viewer.exe") << "0123456789";
        std::ofstream(folder_ + "/Data/main.dat") << "x";
    }
    void TearDown() override {
        unlink((folder_ + "/Data/main.dat").c_str());
        unlink((folder_ + "/Viewer.exe").c_str());
        rmdir((folder_ + "/Data").c_str());
        rmdir(folder_.c_str());
    }
    // The folder as the updater writes it: backslashes.
    std::wstring Windows(const std::string& relative) const {
        std::wstring path = FromUtf8(folder_ + relative);
        for (wchar_t& c : path) {
            c = c == L'/' ? L'\\' : c;
        }
        return path;
    }

    std::string folder_;
};

TEST_F(HostCheckSystemTest, PathsFoundAsWindowsFindsThem) {
    const struct {
        const char* written;
        const char* local;
    } cases[] = {
        {"/Viewer.exe", "/Viewer.exe"},
        {"/viewer.EXE", "/Viewer.exe"},
        {"/DATA/MAIN.DAT", "/Data/main.dat"},
        {"/Viewer.exe. .", "/Viewer.exe"},
        {"//Data///main.dat", "/Data/main.dat"},
        {"/gone/x", "/gone/x"},
        {"/Data/", "/Data/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HostCheckSystem::LocalPath(Windows(c.written)), folder_ + c.local) << c.written;
    }
}

TEST_F(HostCheckSystemTest, FilesAndFolders) {
    HostCheckSystem system({});
    std::wstring reason;
    EXPECT_EQ(system.OpenForReadSize(Windows("/viewer.exe"), reason), std::optional<std::uint64_t>(10));
    EXPECT_EQ(system.OpenForReadSize(Windows("/Data"), reason), std::nullopt);
    EXPECT_FALSE(reason.empty());
    reason.clear();
    EXPECT_EQ(system.OpenForReadSize(Windows("/gone.txt"), reason), std::nullopt);
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(system.IsPathMissing(Windows("/data")));
    EXPECT_FALSE(system.IsPathMissing(Windows("/data/Main.dat")));
    EXPECT_TRUE(system.IsPathMissing(Windows("/gone.txt")));
    EXPECT_EQ(system.ShownPath(L"\\tmp\\a\\b.txt"), L"/tmp/a/b.txt");
}

TEST_F(HostCheckSystemTest, InstallRootsFromTheCommandLine) {
    HostCheckSystem system({{RegistryHive::CurrentUser, L"Software\\App", L"/opt/app"},
                            {RegistryHive::LocalMachine, L"Software\\Long", std::wstring(260, L'x')}});
    PathBuffer value = {};
    EXPECT_TRUE(system.ReadInstallDir(RegistryHive::CurrentUser, L"SOFTWARE\\app", value));
    EXPECT_EQ(std::wstring(value), L"/opt/app");
    PathBuffer other = {};
    EXPECT_FALSE(system.ReadInstallDir(RegistryHive::LocalMachine, L"Software\\App", other));
    EXPECT_FALSE(system.ReadInstallDir(RegistryHive::LocalMachine, L"Software\\Long", other));
    EXPECT_FALSE(system.ReadInstallDir(RegistryHive::CurrentUser, L"Software\\Nowhere", other));
}

}  // namespace
}  // namespace velkast::check
