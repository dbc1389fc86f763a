#include "tools/check/CheckCommand.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CheckTables.h"
#include "tools/check/CheckFormat.h"

namespace velkast::check {
namespace {

// Files from a table; paths are made absolute below C:\work; the system
// answers the install roots it is given and a package's files.
class FakeHost : public CheckHost {
public:
    std::map<std::wstring, std::string> files;
    bool takesInstallDirs = true;
    std::vector<InstallDirOption> given;

    bool ReadFile(const std::wstring& path, std::string& bytes, std::wstring& reason) override {
        const auto found = files.find(path);
        if (found == files.end()) {
            reason = L"no such file";
            return false;
        }
        bytes = found->second;
        return true;
    }
    std::wstring AbsolutePath(const std::wstring& path) override {
        return path.size() >= 2 && path[1] == L':' ? path : L"C:\\work\\" + path;
    }
    bool TakesInstallDirs() const override { return takesInstallDirs; }
    std::unique_ptr<CheckSystem> MakeSystem(const std::vector<InstallDirOption>& installDirs) override {
        given = installDirs;
        velkast::testing::FakePlanSystem tables;
        for (const InstallDirOption& option : installDirs) {
            tables.registry[{option.hive, option.key}] = option.folder;
        }
        tables.files = {{L"C:\\work\\pkg\\files\\a.txt", 3}, {L"C:\\other\\files\\a.txt", 4}};
        return std::make_unique<testing::TableCheckSystem>(tables);
    }
};

const std::string kScript =
    "launch\r\n[SetParamter]\r\nSoftware\\App\r\nNone\r\n1\r\nnot installed\r\n"
    "%Root%\\files\\\r\na.txt\r\n";

CommandResult RunCommand(std::vector<std::wstring> args, FakeHost& host) {
    return RunCheckCommand(args, host);
}

FakeHost PackageHost() {
    FakeHost host;
    host.files[L"pkg\\Update.up"] = kScript;
    host.files[L"pkg\\warn.up"] = kScript + "a.txt\tagain\r\n";
    return host;
}

TEST(CheckCommand, HelpDescribesTheOptionsOfTheBuild) {
    FakeHost host;
    const CommandResult help = RunCommand({L"--help"}, host);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind(
                  L"usage: velkast-check [--json] [--program-folder FOLDER] [--installdir KEY=FOLDER]", 0),
              0u);
    EXPECT_NE(help.out.find(L"Exit status: 0 accepted"), std::wstring::npos);
    EXPECT_TRUE(help.err.empty());

    host.takesInstallDirs = false;
    const CommandResult windows = RunCommand({L"x.up", L"-h"}, host);
    EXPECT_EQ(windows.status, 0);
    EXPECT_EQ(windows.out.find(L"--installdir"), std::wstring::npos);
}

TEST(CheckCommand, UsageErrors) {
    const std::vector<std::vector<std::wstring>> cases = {
        {},
        {L"--bogus", L"pkg\\Update.up"},
        {L"a.up", L"b.up"},
        {L"pkg\\Update.up", L"--program-folder"},
        {L"--program-folder=", L"pkg\\Update.up"},
        {L"--installdir", L"Software\\App", L"pkg\\Update.up"},
        {L"--installdir=Software\\App=", L"pkg\\Update.up"},
        {L"--installdir=HKLM\\=folder", L"pkg\\Update.up"},
    };
    for (const auto& args : cases) {
        FakeHost host = PackageHost();
        const CommandResult result = RunCommand(args, host);
        EXPECT_EQ(result.status, kUsageError) << ToUtf8(args.empty() ? L"" : args[0]);
        EXPECT_TRUE(result.out.empty());
        EXPECT_EQ(result.err.rfind(L"velkast-check: ", 0), 0u);
    }

    FakeHost windows = PackageHost();
    windows.takesInstallDirs = false;
    EXPECT_EQ(RunCommand({L"--installdir", L"Software\\App=root", L"pkg\\Update.up"}, windows).status,
              kUsageError);
}

TEST(CheckCommand, ExitStatusFollowsTheVerdict) {
    struct Case {
        std::vector<std::wstring> args;
        int status;
        const wchar_t* lastLine;
    };
    const Case cases[] = {
        {{L"--installdir", L"Software\\App=D:\\App", L"pkg\\Update.up"},
         0,
         L"result: accepted, 0 warnings, 0 notes"},
        {{L"--installdir=Software\\App=D:\\App", L"pkg\\warn.up"},
         1,
         L"result: accepted, 2 warnings, 0 notes"},
        {{L"pkg\\Update.up"},
         2,
         L"result: refused at line 3: the updater shows \"not installed\"; 0 warnings, 0 notes"},
        {{L"pkg\\gone.up"},
         2,
         L"result: refused: the updater shows \"Update.upファイルが見つかりません\" (caption "
         L"\"テキストデータ取得エラー\"); 0 warnings, 0 notes"},
    };
    for (const Case& c : cases) {
        FakeHost host = PackageHost();
        const CommandResult result = RunCommand(c.args, host);
        EXPECT_EQ(result.status, c.status) << ToUtf8(result.out);
        ASSERT_GE(result.out.size(), 2u);
        const std::size_t last = result.out.rfind(L'\n', result.out.size() - 2);
        EXPECT_EQ(result.out.substr(last + 1), std::wstring(c.lastLine) + L"\n");
    }

    FakeHost host = PackageHost();
    const CommandResult missing = RunCommand({L"pkg\\gone.up"}, host);
    EXPECT_EQ(missing.out.rfind(L"pkg\\gone.up: error: cannot read the script (no such file)", 0), 0u);
}

TEST(CheckCommand, OptionsReachTheCheck) {
    FakeHost host = PackageHost();
    const CommandResult result = RunCommand({L"--json", L"--installdir", L"hklm\\Software\\App=D:\\App",
                                             L"--installdir=HKEY_CURRENT_USER\\Software\\Other=rel\\dir",
                                             L"--program-folder", L"C:\\other", L"--", L"pkg\\Update.up"},
                                            host);
    ASSERT_EQ(host.given.size(), 2u);
    EXPECT_EQ(host.given[0].hive, RegistryHive::LocalMachine);
    EXPECT_EQ(host.given[0].key, L"Software\\App");
    EXPECT_EQ(host.given[0].folder, L"D:\\App");
    EXPECT_EQ(host.given[1].hive, RegistryHive::CurrentUser);
    EXPECT_EQ(host.given[1].key, L"Software\\Other");
    EXPECT_EQ(host.given[1].folder, L"C:\\work\\rel\\dir");

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind(L"{\n  \"script\": \"pkg\\\\Update.up\",\n  \"result\": \"accepted\",\n", 0),
              0u);
    EXPECT_NE(result.out.find(L"\"programFolder\": \"C:\\\\other\\\\\""), std::wstring::npos);
    EXPECT_NE(result.out.find(L"\"source\": \"C:\\\\other\\\\files\\\\a.txt\""), std::wstring::npos);
    EXPECT_NE(result.out.find(L"\"destination\": \"D:\\\\App\\\\a.txt\""), std::wstring::npos);
}

}  // namespace
}  // namespace velkast::check
